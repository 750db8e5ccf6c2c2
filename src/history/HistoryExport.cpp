#include "history/HistoryExport.h"

#include "core/DateText.h"
#include "core/WholeFileSave.h"
#include "history/HistoryRows.h"

#include <QIODevice>
#include <QStringList>

namespace {

const QString Separator = QStringLiteral(", ");
const char LineEnd[] = "\r\n";

bool NeedsQuotes(const QString& text)
{
    for (const QChar c : text) {
        if (c == u',' || c == u'"' || c == u'\r' || c == u'\n') {
            return true;
        }
    }
    return false;
}

// A field as a spreadsheet reads it back: in double quotes, its quotes
// doubled, when it holds a comma, a quote or a line break.
QString CsvField(const QString& text)
{
    return NeedsQuotes(text) ? u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"' : text;
}

// A quoted field follows the comma without the blank of the separator: a
// blank before the opening quote would make the quotes part of the text.
void AppendField(QString& line, const QString& text, const QString& separator)
{
    line += NeedsQuotes(text) ? QStringLiteral(",") : separator;
    line += CsvField(text);
}

QString RowLine(const HistoryRows& table, int row)
{
    // The timestamp is "date time": the date runs to the first blank.
    const QString timestamp = table.TimestampText(row);
    const qsizetype blank = timestamp.indexOf(u' ');
    QString line = CsvField(blank < 0 ? timestamp : timestamp.left(blank));
    AppendField(line, blank < 0 ? QString() : timestamp.mid(blank + 1), Separator);
    for (const QString& text : table.ValueTexts(row)) {
        AppendField(line, text, Separator);
    }
    return line;
}

} // namespace

QString HistoryExportFirstLine(const QString& loggerName, const QDateTime& now, uint8_t flowMode,
                               const HistoryFlowDescription& flow, const QLocale& locale)
{
    QStringList fields{loggerName, ShortDateFormat(locale).Text(now.date()), LongTimeText(now.time(), locale)};
    if (flowMode != 0) {
        fields << QStringLiteral("Offset=") + flow.Offset;
    }
    switch (flowMode) {
    case 1:
        fields << QStringLiteral("Mannings") << QStringLiteral("Roughness=") + flow.Roughness
               << QStringLiteral("Slope=") + flow.Slope << QStringLiteral("Diameter=") + flow.Diameter;
        break;
    case 2: fields << QStringLiteral("Flume=") + flow.RatingName; break;
    case 3: fields << QStringLiteral("Weir=") + flow.RatingName; break;
    case 4: fields << QStringLiteral("Table=") + flow.RatingName; break;
    default: break;
    }
    QString line = CsvField(fields.takeFirst());
    for (const QString& field : fields) {
        AppendField(line, field, QStringLiteral(","));
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
    return SaveWholeFile(path, [&](QIODevice& file) {
        QString header = QStringLiteral("Date, Time");
        for (int column = 1; column < table.ColumnCount(); ++column) {
            AppendField(header, table.HeaderText(column), Separator);
        }
        QByteArray chunk = firstLine.toUtf8() + LineEnd + header.toUtf8() + LineEnd;
        constexpr qsizetype ChunkBytes = 1 << 16;
        for (int row = 0; row < table.RowCount(); ++row) {
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
        return file.write(chunk) == chunk.size();
    });
}
