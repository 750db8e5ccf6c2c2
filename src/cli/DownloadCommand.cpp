#include "archive/ArchiveImport.h"
#include "cli/CliArchive.h"
#include "cli/CliLogger.h"
#include "cli/Progress.h"
#include "cli/Report.h"
#include "cli/StopSignal.h"
#include "cli/Subcommands.h"
#include "core/ErrorTrap.h"
#include "history/HistoryFlow.h"
#include "history/HistoryRecords.h"
#include "history/HistoryTable.h"
#include "history/LinkHistoryBlocks.h"

#include <QElapsedTimer>
#include <memory>

namespace {

struct DownloadRequest {
    bool useArchive = false;
    ArchiveLocation location;
    QString csv;
    QString site;
    bool clearAfter = false;
};

// The download's end as the program's progress window words it, and the
// exit code it gives.
ExitCode TellEnd(HistoryDownloadEnd end, int count, uint32_t expected)
{
    const QString received = QStringLiteral("Received %1 records of %2 records.").arg(count).arg(expected);
    switch (end) {
    case HistoryDownloadEnd::Complete: {
        const QString warning = HistoryCountMismatchWarning(count, expected);
        if (!warning.isEmpty()) {
            Warn(OneLine(warning));
        }
        return ExitCode::Done;
    }
    case HistoryDownloadEnd::Stopped:
        return Fail(ExitCode::Interrupted, QStringLiteral("Retrieval cancelled by user. ") + received);
    case HistoryDownloadEnd::BufferFull:
        return Fail(ExitCode::LoggerError, QStringLiteral("History buffer full: upload terminated. ") + received);
    case HistoryDownloadEnd::Error: break;
    }
    return Fail(ExitCode::LoggerError, QStringLiteral("Error during retrieval. ") + received);
}

} // namespace

ExitCode RunDownload(const QStringList& arguments, StopSignal& stop)
{
    CliArguments options(QStringLiteral("download --port PORT [--archive URL] [--csv FILE] [--site NAME] "
                                        "[--clear-after] [options]"),
                         QStringLiteral("Download the logger's whole history into the archive (new records are "
                                        "added, those already there skipped) and/or a CSV file in the program's "
                                        "export format. Without --csv the default archive is used."));
    options.addLoggerOptions();
    options.addArchiveOption();
    options.addOption(QStringLiteral("csv"), QStringLiteral("Also write the records to this CSV file."),
                      QStringLiteral("FILE"));
    options.addOption(QStringLiteral("site"), QStringLiteral("The site the records belong to (default: the logger's name)."),
                      QStringLiteral("NAME"));
    options.addOption(QStringLiteral("clear-after"),
                      QStringLiteral("Clear the logger's history once the archive has committed every record of a "
                                     "complete download; then read the status again to confirm."));
    if (const auto end = options.parse(arguments, 0)) {
        return *end;
    }
    DownloadRequest request;
    request.csv = options.value(QStringLiteral("csv"));
    request.site = options.value(QStringLiteral("site"));
    request.clearAfter = options.isSet(QStringLiteral("clear-after"));
    request.useArchive = options.isSet(QStringLiteral("archive")) || request.csv.isEmpty();
    if (request.clearAfter && !request.useArchive) {
        return CliArguments::usageError(QStringLiteral("--clear-after needs the archive: the history is cleared "
                                                       "only once the archive holds it"));
    }

    // The archive is opened before the logger is touched: a wrong address
    // costs no call.
    std::unique_ptr<Archive> archive;
    if (request.useArchive && !(archive = OpenArchive(options))) {
        return ExitCode::ArchiveError;
    }

    CliLogger logger;
    if (const ExitCode connected = logger.connect(options.reach(), stop); connected != ExitCode::Done) {
        return connected;
    }
    const std::optional<CliLogger::ClockReading> clock = logger.readClock();
    if (!logger.commands.ReadLoggerStatus()) {
        return Fail(ExitCode::LoggerError, QStringLiteral("%1: Error: upload not successful!").arg(logger.portEntry()));
    }
    const uint32_t expected = logger.status.RecordCount;
    const QDateTime collectedAt = QDateTime::currentDateTime();
    Report report(options.json());
    report.add(QStringLiteral("port"), QStringLiteral("Port"), logger.portEntry());
    report.add(QStringLiteral("reported"), QStringLiteral("Records in the logger"), double(expected));

    HistoryRecords records;
    LinkHistoryBlocks blocks(logger.link);
    HistoryDownload download(blocks, records, logger.settings.NumAnalogChannels, logger.settings.NumDigitalChannels);
    Progress progress;
    QString retries;
    download.onProgress = [&](int count) { progress.update(count, expected, retries); };
    download.onRetry = [&](int total) {
        retries = QStringLiteral("%1 retries").arg(total);
        progress.update(records.count(), expected, retries);
    };
    download.stopRequested = [&stop] { return stop.requested(); };
    QElapsedTimer timer;
    timer.start();
    HistoryDownloadEnd end = HistoryDownloadEnd::Complete;
    if (expected > 0) {
        end = RunTrapped(
            logger.options.ErrorTrapping, [&] { return download.run(); }, [] { return HistoryDownloadEnd::Error; });
    }
    const qint64 elapsedMs = timer.elapsed();
    progress.finish();
    ExitCode code = TellEnd(end, records.count(), expected);
    report.add(QStringLiteral("downloaded"), QStringLiteral("Records downloaded"), records.count());
    report.add(QStringLiteral("retries"), QStringLiteral("Retries"), download.totalRetries());
    report.add(QStringLiteral("seconds"), QStringLiteral("Seconds"), double(elapsedMs) / 1000.0);

    const HistoryFlowSource flow = MakeHistoryFlowSource(logger.settings, logger.rating, logger.flowDisplay);
    const HistoryFlowDescription description = logger.flowDescription();
    bool archivedAll = false;
    if (archive && records.count() > 0) {
        ArchiveCollection collection{collectedAt, std::nullopt, logger.portEntry(), end == HistoryDownloadEnd::Complete};
        if (clock) {
            collection.clockOffsetSeconds = int(clock->offsetSeconds);
        }
        const ArchiveImportResult imported =
            ImportDownload(*archive, ArchiveDownload{records, logger.settings, flow, description, collection, request.site});
        if (!imported.ok) {
            return Fail(ExitCode::ArchiveError, imported.error);
        }
        archivedAll = imported.added + imported.alreadyThere == records.count();
        report.add(QStringLiteral("archive"), QStringLiteral("Archive"), archive->location().text());
        report.add(QStringLiteral("added"), QStringLiteral("Added to the archive"), imported.added);
        report.add(QStringLiteral("already_there"), QStringLiteral("Already in the archive"), imported.alreadyThere);
    }
    if (!request.csv.isEmpty() && records.count() > 0) {
        HistoryTable table(records, logger.settings, flow);
        table.fill(false);
        const QString firstLine =
            HistoryExportFirstLine(logger.settings.LoggerName, QDateTime::currentDateTime(), logger.settings.FlowMode, description);
        if (!WriteHistoryCsv(request.csv, table, firstLine)) {
            return Fail(ExitCode::FileError, QStringLiteral("%1: the CSV file could not be written").arg(request.csv));
        }
        report.add(QStringLiteral("csv"), QStringLiteral("CSV file"), request.csv);
    }

    if (request.clearAfter && code == ExitCode::Done && expected > 0) {
        if (uint32_t(records.count()) != expected || !archivedAll) {
            code = Fail(ExitCode::LoggerError, QStringLiteral("%1: the history was not cleared: the download does not "
                                                               "match the logger's record count")
                                                    .arg(logger.portEntry()));
        } else if (!logger.commands.ClearLoggerMemory() || !logger.commands.ReadLoggerStatus()) {
            code = Fail(ExitCode::LoggerError,
                        QStringLiteral("%1: the logger did not clear its history").arg(logger.portEntry()));
        } else {
            report.add(QStringLiteral("records_after_clear"), QStringLiteral("Records after clearing"),
                       double(logger.status.RecordCount));
        }
    }
    report.print();
    return code;
}
