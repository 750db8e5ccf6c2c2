#include "history/HistoryExport.h"

#include "core/DateText.h"
#include "history/HistoryRows.h"

#include <QSaveFile>

namespace {

const QString Separator = QStringLiteral(", ");
const char LineEnd[] = "\r\n";

QString RowLine(const HistoryRows& table, int row)
{
    // The timestamp is "date time": the date runs to the first blank.
    const QString timestamp = table.timestampText(row);
    const qsizetype blank = timestamp.indexOf(u' ');
    QString line = blank < 0 ? timestamp + Separator
                             : timestamp.left(blank) + Separator + timestamp.mid(blank + 1);
    for (const QString& text : table.valueTexts(row)) {
        line += Separator;
        line += text;
    }
    return line;
}

} // namespace

QString HistoryExportFirstLine(const QString& loggerName, const QDateTime& now, uint8_t flowMode,
                               const HistoryFlowDescription& flow, const QLocale& locale)
{
    QString line = loggerName + u',' + ShortDateFormat(locale).text(now.date()) + u','
                   + LongTimeText(now.time(), locale);
    if (flowMode != 0) {
        line += QStringLiteral(",Offset=") + flow.Offset;
    }
    switch (flowMode) {
    case 1:
        line += QStringLiteral(",Mannings,Roughness=") + flow.Roughness + QStringLiteral(",Slope=") + flow.Slope
                + QStringLiteral(",Diameter=") + flow.Diameter;
        break;
    case 2: line += QStringLiteral(",Flume=") + flow.RatingName; break;
    case 3: line += QStringLiteral(",Weir=") + flow.RatingName; break;
    case 4: line += QStringLiteral(",Table=") + flow.RatingName; break;
    default: break;
    }
    return line;
}

QString DefaultExportFileName(const QDateTime& now)
{
    return now.toString(QStringLiteral("yyyy-MM-dd-hhmm")) + QStringLiteral(".csv");
}

bool WriteHistoryCsv(const QString& path, const HistoryRows& table, const QString& firstLine,
                     const std::function<void(int row)>& progress)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    QString header = QStringLiteral("Date, Time");
    for (int column = 1; column < table.columnCount(); ++column) {
        header += Separator + table.headerText(column);
    }
    QByteArray chunk = firstLine.toUtf8() + LineEnd + header.toUtf8() + LineEnd;
    constexpr qsizetype ChunkBytes = 1 << 16;
    for (int row = 0; row < table.rowCount(); ++row) {
        if (progress) {
            progress(row + 1);
        }
        chunk += RowLine(table, row).toUtf8();
        chunk += LineEnd;
        if (chunk.size() >= ChunkBytes) {
            if (file.write(chunk) != chunk.size()) {
                return false;
            }
            chunk.clear();
        }
    }
    if (file.write(chunk) != chunk.size()) {
        return false;
    }
    return file.commit();
}
