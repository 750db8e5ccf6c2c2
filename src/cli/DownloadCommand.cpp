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
    bool UseArchive = false;
    ArchiveLocation Location;
    QString Csv;
    QString Site;
    bool ClearAfter = false;
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
    options.AddLoggerOptions();
    options.AddArchiveOption();
    options.AddOption(QStringLiteral("csv"), QStringLiteral("Also write the records to this CSV file."),
                      QStringLiteral("FILE"));
    options.AddOption(QStringLiteral("site"), QStringLiteral("The site the records belong to (default: the logger's name)."),
                      QStringLiteral("NAME"));
    options.AddOption(QStringLiteral("clear-after"),
                      QStringLiteral("Clear the logger's history once the archive has committed every record of a "
                                     "complete download; then read the status again to confirm."));
    if (const auto end = options.Parse(arguments, 0)) {
        return *end;
    }
    DownloadRequest request;
    request.Csv = options.Value(QStringLiteral("csv"));
    request.Site = options.Value(QStringLiteral("site"));
    request.ClearAfter = options.IsSet(QStringLiteral("clear-after"));
    request.UseArchive = options.IsSet(QStringLiteral("archive")) || request.Csv.isEmpty();
    if (request.ClearAfter && !request.UseArchive) {
        return CliArguments::UsageError(QStringLiteral("--clear-after needs the archive: the history is cleared "
                                                       "only once the archive holds it"));
    }

    // The archive is opened before the logger is touched: a wrong address
    // costs no call.
    std::unique_ptr<Archive> archive;
    if (request.UseArchive && !(archive = OpenArchive(options))) {
        return ExitCode::ArchiveError;
    }

    CliLogger logger;
    if (const ExitCode connected = logger.Connect(options.Reach(), stop); connected != ExitCode::Done) {
        return connected;
    }
    const std::optional<CliLogger::ClockReading> clock = logger.ReadClock();
    if (!logger.Commands.ReadLoggerStatus()) {
        return Fail(ExitCode::LoggerError, QStringLiteral("%1: Error: upload not successful!").arg(logger.PortEntry()));
    }
    const uint32_t expected = logger.Status.RecordCount;
    const QDateTime collectedAt = QDateTime::currentDateTime();
    Report report(options.Json());
    report.Add(QStringLiteral("port"), QStringLiteral("Port"), logger.PortEntry());
    report.Add(QStringLiteral("reported"), QStringLiteral("Records in the logger"), double(expected));

    HistoryRecords records;
    LinkHistoryBlocks blocks(logger.Link);
    HistoryDownload download(blocks, records, logger.Settings.NumAnalogChannels, logger.Settings.NumDigitalChannels);
    Progress progress;
    QString retries;
    download.OnProgress = [&](int count) { progress.Update(count, expected, retries); };
    download.OnRetry = [&](int total) {
        retries = QStringLiteral("%1 retries").arg(total);
        progress.Update(records.Count(), expected, retries);
    };
    download.StopRequested = [&stop] { return stop.Requested(); };
    QElapsedTimer timer;
    timer.start();
    HistoryDownloadEnd end = HistoryDownloadEnd::Complete;
    if (expected > 0) {
        end = RunTrapped(
            logger.Options.ErrorTrapping, [&] { return download.Run(); }, [] { return HistoryDownloadEnd::Error; });
    }
    const qint64 elapsedMs = timer.elapsed();
    progress.Finish();
    ExitCode code = TellEnd(end, records.Count(), expected);
    report.Add(QStringLiteral("downloaded"), QStringLiteral("Records downloaded"), records.Count());
    report.Add(QStringLiteral("retries"), QStringLiteral("Retries"), download.TotalRetries());
    report.Add(QStringLiteral("seconds"), QStringLiteral("Seconds"), double(elapsedMs) / 1000.0);

    const HistoryFlowSource flow = MakeHistoryFlowSource(logger.Settings, logger.Rating, logger.FlowDisplay);
    const HistoryFlowDescription description = logger.FlowDescription();
    bool archivedAll = false;
    if (archive && records.Count() > 0) {
        ArchiveCollection collection{collectedAt, std::nullopt, logger.PortEntry(), end == HistoryDownloadEnd::Complete};
        if (clock) {
            collection.ClockOffsetSeconds = int(clock->OffsetSeconds);
        }
        const ArchiveImportResult imported =
            ImportDownload(*archive, ArchiveDownload{records, logger.Settings, flow, description, collection, request.Site});
        if (!imported.Ok) {
            return Fail(ExitCode::ArchiveError, imported.Error);
        }
        archivedAll = imported.Added + imported.AlreadyThere == records.Count();
        report.Add(QStringLiteral("archive"), QStringLiteral("Archive"), archive->Location().Text());
        report.Add(QStringLiteral("added"), QStringLiteral("Added to the archive"), imported.Added);
        report.Add(QStringLiteral("already_there"), QStringLiteral("Already in the archive"), imported.AlreadyThere);
    }
    if (!request.Csv.isEmpty() && records.Count() > 0) {
        HistoryTable table(records, logger.Settings, flow);
        table.Fill(false);
        const QString firstLine =
            HistoryExportFirstLine(logger.Settings.LoggerName, QDateTime::currentDateTime(), logger.Settings.FlowMode, description);
        if (!WriteHistoryCsv(request.Csv, table, firstLine)) {
            return Fail(ExitCode::FileError, QStringLiteral("%1: the CSV file could not be written").arg(request.Csv));
        }
        report.Add(QStringLiteral("csv"), QStringLiteral("CSV file"), request.Csv);
    }

    if (request.ClearAfter && code == ExitCode::Done && expected > 0) {
        if (uint32_t(records.Count()) != expected || !archivedAll) {
            code = Fail(ExitCode::LoggerError, QStringLiteral("%1: the history was not cleared: the download does not "
                                                               "match the logger's record count")
                                                    .arg(logger.PortEntry()));
        } else if (!logger.Commands.ClearLoggerMemory() || !logger.Commands.ReadLoggerStatus()) {
            code = Fail(ExitCode::LoggerError,
                        QStringLiteral("%1: the logger did not clear its history").arg(logger.PortEntry()));
        } else {
            report.Add(QStringLiteral("records_after_clear"), QStringLiteral("Records after clearing"),
                       double(logger.Status.RecordCount));
        }
    }
    report.Print();
    return code;
}
