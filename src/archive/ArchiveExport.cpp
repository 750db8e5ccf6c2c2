#include "archive/ArchiveExport.h"

#include "archive/ArchiveSiteTable.h"
#include "history/HistoryExport.h"

bool ExportSiteCsv(Archive& archive, const QString& site, ArchiveRange range, ArchiveTimeFormat timeFormat,
                   const QString& path, QString* error)
{
    std::optional<ArchiveRecords> records = LoadSiteRecords(archive, site, range, error, ArchiveRawCounts::Skip);
    if (!records) {
        return false;
    }
    ArchiveSiteTable table(std::move(*records), timeFormat);
    table.fill(false);
    const ArchiveDownloadFacts* newest = table.newestDownload();
    const QString firstLine = HistoryExportFirstLine(site, QDateTime::currentDateTime(), newest ? newest->flowMode : 0,
                                                     newest ? newest->flowDescription : HistoryFlowDescription{});
    if (!WriteHistoryCsv(path, table, firstLine)) {
        if (error) {
            *error = QStringLiteral("cannot write the file %1").arg(path);
        }
        return false;
    }
    return true;
}
