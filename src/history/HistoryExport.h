#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <cstdint>
#include <functional>

class HistoryRows;

// The captions of the main window's flow description, as line 1 of an
// export names the flow computation of the table.
struct HistoryFlowDescription {
    QString Offset;
    QString Roughness;
    QString Slope;
    QString Diameter;
    QString RatingName;
};

// Line 1 of the export: logger name, date and time of writing, and for a
// flow computation its offset and method, joined by "," without blanks.
// Lines 2 on join their fields with ", ". Any field holding a comma, a quote
// or a line break (a logger name, a weir's catalogue name) is quoted.
QString HistoryExportFirstLine(const QString& loggerName, const QDateTime& now, uint8_t flowMode,
                               const HistoryFlowDescription& flow, const QLocale& locale = QLocale::system());

// yyyy-MM-dd-hhmm.csv of the given local time.
QString DefaultExportFileName(const QDateTime& now);

// Writes the table as shown: line 1, the header line, one line per row.
// The file is replaced only when every byte was written, and never when the
// path is not a regular file; progress runs from 1 to the number of rows.
// False when the file could not be written.
bool WriteHistoryCsv(const QString& path, const HistoryRows& table, const QString& firstLine,
                     const std::function<void(int row)>& progress = {});
