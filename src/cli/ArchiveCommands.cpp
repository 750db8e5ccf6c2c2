#include "archive/Archive.h"
#include "archive/ArchiveExport.h"
#include "archive/ArchiveRecords.h"
#include "archive/ArchiveTime.h"
#include "cli/CliArchive.h"
#include "cli/CliArguments.h"
#include "cli/Report.h"
#include "cli/Subcommands.h"
#include "history/HistoryExport.h"

#include <QJsonObject>
#include <memory>

namespace {

// "2026-03-15", "2026-03-15 09:42" or "2026-03-15T09:42:00", by the logger's clock.
std::optional<qint64> ReadTime(const QString& text)
{
    const QString date = text.left(10);
    const QDate day = QDate::fromString(date, QStringLiteral("yyyy-MM-dd"));
    QString rest = text.mid(10).trimmed();
    if (rest.startsWith(QLatin1Char('T'))) {
        rest.remove(0, 1);
    }
    QTime time(0, 0);
    if (!rest.isEmpty()) {
        time = QTime::fromString(rest, rest.size() > 5 ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
    }
    if (!day.isValid() || !time.isValid()) {
        return std::nullopt;
    }
    return ArchiveStamp(day, time);
}

} // namespace

ExitCode RunExport(const QStringList& arguments)
{
    CliArguments options(QStringLiteral("export --site NAME [--archive URL] [--from T] [--to T] [--csv FILE]"),
                         QStringLiteral("Write a site's records from the archive to a CSV file in the program's "
                                        "export format. Times (yyyy-MM-dd[ HH:mm[:ss]]) are the logger's; --to is "
                                        "not included."));
    options.AddArchiveOption();
    options.AddOption(QStringLiteral("site"), QStringLiteral("The site to export."), QStringLiteral("NAME"));
    options.AddOption(QStringLiteral("from"), QStringLiteral("The first record time."), QStringLiteral("T"));
    options.AddOption(QStringLiteral("to"), QStringLiteral("The end of the range."), QStringLiteral("T"));
    options.AddOption(QStringLiteral("csv"),
                      QStringLiteral("The file to write (default: yyyy-MM-dd-hhmm.csv in the current folder)."),
                      QStringLiteral("FILE"));
    options.AddOption(QStringLiteral("time-format"),
                      QStringLiteral("short (the program's date and time, default), iso, or utc."),
                      QStringLiteral("FORMAT"));
    if (const auto end = options.Parse(arguments, 0)) {
        return *end;
    }
    const QString site = options.Value(QStringLiteral("site"));
    if (site.isEmpty()) {
        return CliArguments::UsageError(QStringLiteral("--site is needed: the site to export (see brevel sites)"));
    }
    ArchiveRange range;
    for (const char* bound : {"from", "to"}) {
        const QString name = QString::fromLatin1(bound);
        if (!options.IsSet(name)) {
            continue;
        }
        const std::optional<qint64> stamp = ReadTime(options.Value(name));
        if (!stamp) {
            return CliArguments::UsageError(
                QStringLiteral("--%1 takes a time such as 2026-03-15 or 2026-03-15 09:42, not \"%2\"")
                    .arg(name, options.Value(name)));
        }
        (name == u"from" ? range.From : range.To) = stamp;
    }
    const QString formatName = options.Value(QStringLiteral("time-format"));
    ArchiveTimeFormat format = ArchiveTimeFormat::ShortDate;
    if (formatName == u"iso") {
        format = ArchiveTimeFormat::Iso;
    } else if (formatName == u"utc") {
        format = ArchiveTimeFormat::Utc;
    } else if (!formatName.isEmpty() && formatName != u"short") {
        return CliArguments::UsageError(QStringLiteral("--time-format takes short, iso or utc"));
    }
    QString path = options.Value(QStringLiteral("csv"));
    if (path.isEmpty()) {
        path = DefaultExportFileName(QDateTime::currentDateTime());
    }
    const std::unique_ptr<Archive> archive = OpenArchive(options);
    if (!archive) {
        return ExitCode::ArchiveError;
    }
    QString error;
    if (!ExportSiteCsv(*archive, site, range, format, path, &error)) {
        return Fail(ExitCode::ArchiveError, error);
    }
    Report report(options.Json());
    report.Add(QStringLiteral("site"), QStringLiteral("Site"), site);
    report.Add(QStringLiteral("csv"), QStringLiteral("CSV file"), path);
    report.Print();
    return ExitCode::Done;
}

ExitCode RunSites(const QStringList& arguments)
{
    CliArguments options(QStringLiteral("sites [--archive URL] [--json]"),
                         QStringLiteral("List the archive's sites: record counts, first and last record time (the "
                                        "logger's clock) and the last collection (the computer's, UTC)."));
    options.AddArchiveOption();
    if (const auto end = options.Parse(arguments, 0)) {
        return *end;
    }
    const std::unique_ptr<Archive> archive = OpenArchive(options);
    if (!archive) {
        return ExitCode::ArchiveError;
    }
    QString error;
    const std::optional<std::vector<ArchiveSite>> sites = ListSites(*archive, &error);
    if (!sites) {
        return Fail(ExitCode::ArchiveError, error);
    }
    const ArchiveTimeText times(ArchiveTimeFormat::Iso);
    auto time = [&times](const std::optional<qint64>& stamp) {
        return stamp ? QJsonValue(times.Text(*stamp, 0)) : QJsonValue();
    };
    QJsonArray rows;
    QStringList lines;
    for (const ArchiveSite& site : *sites) {
        const QString collected = site.LastCollection.toString(Qt::ISODate);
        rows.append(QJsonObject{{QStringLiteral("site"), site.Name},
                                {QStringLiteral("records"), double(site.RecordCount)},
                                {QStringLiteral("first"), time(site.FirstStamp)},
                                {QStringLiteral("last"), time(site.LastStamp)},
                                {QStringLiteral("last_collection"), collected}});
        lines.append(QStringLiteral("%1: %2 records, %3 to %4, last collected %5")
                         .arg(site.Name)
                         .arg(site.RecordCount)
                         .arg(time(site.FirstStamp).toString(QStringLiteral("-")),
                              time(site.LastStamp).toString(QStringLiteral("-")), collected));
    }
    Report report(options.Json());
    report.AddRows(QStringLiteral("sites"), rows, lines);
    report.Print();
    return ExitCode::Done;
}
