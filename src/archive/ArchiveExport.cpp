#include "archive/ArchiveExport.h"

#include "archive/ArchiveSiteTable.h"
#include "history/HistoryExport.h"

bool ExportSiteCsv(Archive& archive, const QString& site, ArchiveRange range, ArchiveTimeFormat timeFormat,
                   const QString& path, QString* error)
{
    std::optional<ArchiveRecords> records = LoadSiteRecords(archive, site, range, error);
    if (!records) {
        return false;
    }
    ArchiveSiteTable table(std::move(*records), timeFormat);
    table.Fill(false);
    const ArchiveDownloadFacts* newest = table.NewestDownload();
    const QString firstLine = HistoryExportFirstLine(site, QDateTime::currentDateTime(), newest ? newest->FlowMode : 0,
                                                     newest ? newest->FlowDescription : HistoryFlowDescription{});
    if (!WriteHistoryCsv(path, table, firstLine)) {
        if (error) {
            *error = QStringLiteral("cannot write the file %1").arg(path);
        }
        return false;
    }
    return true;
}
