#include "archive/ArchiveExport.h"

#include "core/NumberText.h"
#include "history/HistoryExport.h"
#include "history/HistoryRows.h"

namespace {

// The records of a site as rows of the export.
class ArchiveRows : public HistoryRows {
public:
    ArchiveRows(const ArchiveRecords& records, ArchiveTimeFormat format) : records_(records), time_(format) {}

    int rowCount() const override { return records_.count(); }
    int columnCount() const override { return 1 + int(records_.columns().size()); }
    QString headerText(int column) const override
    {
        return column == 0 ? QStringLiteral("Date / Time") : records_.columns()[size_t(column - 1)].header;
    }
    QString timestampText(int row) const override
    {
        return time_.text(records_.stamp(row), records_.download(row).utcOffset);
    }
    std::vector<QString> valueTexts(int row) const override
    {
        const ArchiveDownloadFacts& download = records_.download(row);
        std::vector<QString> texts(records_.columns().size());
        for (size_t column = 0; column < texts.size(); ++column) {
            if (const std::optional<double> value = records_.value(row, int(column))) {
                texts[column] = FormatDecimals(*value, int16_t(download.decimals[column]));
            }
        }
        return texts;
    }

private:
    const ArchiveRecords& records_;
    ArchiveTimeText time_;
};

} // namespace

bool ExportSiteCsv(Archive& archive, const QString& site, ArchiveRange range, ArchiveTimeFormat timeFormat,
                   const QString& path, QString* error)
{
    const std::optional<ArchiveRecords> records = LoadSiteRecords(archive, site, range, error, ArchiveRawCounts::Skip);
    if (!records) {
        return false;
    }
    const ArchiveDownloadFacts* newest = nullptr;
    for (int r = 0; r < records->count(); ++r) {
        if (!newest || records->download(r).id > newest->id) {
            newest = &records->download(r);
        }
    }
    const QString firstLine = HistoryExportFirstLine(site, QDateTime::currentDateTime(), newest ? newest->flowMode : 0,
                                                     newest ? newest->flowDescription : HistoryFlowDescription{});
    if (!WriteHistoryCsv(path, ArchiveRows(*records, timeFormat), firstLine)) {
        if (error) {
            *error = QStringLiteral("cannot write the file %1").arg(path);
        }
        return false;
    }
    return true;
}
