#include "app/ArchiveLaunch.h"

#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/Session.h"
#include "archive/Archive.h"
#include "archive/ArchiveImport.h"
#include "archive/ArchiveSiteTable.h"
#include "archive/ui/ArchiveSitesWindow.h"
#include "history/ui/HistoryWindow.h"
#include "platform/BusyCursor.h"
#include "platform/Prompter.h"

#include <QDateTime>

namespace {

const QString SaveTitle = QStringLiteral("Save to Archive");
const QString OpenTitle = QStringLiteral("Open Archive");

std::unique_ptr<Archive> OpenArchiveAt(const QString& archiveLocation, QString* error)
{
    const std::optional<ArchiveLocation> location = ParseArchiveLocation(archiveLocation, error);
    return location ? Archive::Open(*location, error) : nullptr;
}

// "Saved 480 new records to the archive sqlite:/home/ann/.local/share/Brevel/archive.sqlite (20 were already there)."
QString ResultText(const ArchiveImportResult& result, const Archive& archive)
{
    QString text = QStringLiteral("Saved %1 new records to the archive %2").arg(result.Added).arg(archive.Location().Text());
    if (result.AlreadyThere > 0) {
        text += QStringLiteral(" (%1 were already there)").arg(result.AlreadyThere);
    }
    return text + QLatin1Char('.');
}

void SaveToArchive(Session& session, const QString& archiveLocation, const HistoryArchiveRequest& request)
{
    QString error;
    std::optional<ArchiveImportResult> result;
    std::unique_ptr<Archive> archive;
    {
        BusyScope busy(session.Services.Hourglass);
        archive = OpenArchiveAt(archiveLocation, &error);
        if (archive) {
            ArchiveCollection collection;
            collection.CollectedAt = QDateTime::currentDateTime();
            collection.Port = session.UseModem ? session.User.ModemPort : session.User.DirectPort;
            collection.Complete = request.Complete;
            result = ImportDownload(*archive, {request.Records, request.Settings, request.Flow,
                                               request.FlowDescription, collection, QString()});
        }
    }
    Prompter& prompter = session.Services.Messages;
    if (result && result->Ok) {
        prompter.Tell(SaveTitle, ResultText(*result, *archive), PromptIcon::Information);
    } else {
        prompter.Tell(SaveTitle, QStringLiteral("Error: ") + (result ? result->Error : error), PromptIcon::Error);
    }
}

// The sites of the archive; the user picks one, whose records open in the
// history table.
void OpenFromArchive(Session& session, MainWindow& window, const QString& archiveLocation,
                     const OpenHistoryGraph& openGraph)
{
    Prompter& prompter = session.Services.Messages;
    QString error;
    std::unique_ptr<Archive> archive;
    std::optional<std::vector<ArchiveSite>> sites;
    {
        BusyScope busy(session.Services.Hourglass);
        archive = OpenArchiveAt(archiveLocation, &error);
        sites = archive ? ListSites(*archive, &error) : std::nullopt;
    }
    if (!sites) {
        prompter.Tell(OpenTitle, QStringLiteral("Error: ") + error, PromptIcon::Error);
        return;
    }
    if (sites->empty()) {
        prompter.Tell(OpenTitle,
                      QStringLiteral("The archive %1 holds no records yet: save a download to it with the history "
                                     "table's Save to Archive button.")
                          .arg(archive->Location().Text()),
                      PromptIcon::Information);
        return;
    }
    QString site;
    {
        ArchiveSitesWindow chooser(archive->Location().Text(), *sites, &window);
        chooser.exec();
        site = chooser.ChosenSite();
    }
    if (site.isEmpty()) {
        return;
    }
    std::unique_ptr<HistoryWindow> table;
    {
        BusyScope busy(session.Services.Hourglass);
        std::optional<ArchiveRecords> records = LoadSiteRecords(*archive, site, {}, &error);
        if (!records) {
            prompter.Tell(OpenTitle, QStringLiteral("Error: ") + error, PromptIcon::Error);
            return;
        }
        auto siteTable = std::make_unique<ArchiveSiteTable>(std::move(*records));
        const ArchiveDownloadFacts* newest = siteTable->NewestDownload();
        const uint8_t flowMode = newest ? newest->FlowMode : 0;
        const HistoryFlowDescription flowDescription = newest ? newest->FlowDescription : HistoryFlowDescription{};
        table = std::make_unique<HistoryWindow>(
            HistoryWindowContext{std::move(siteTable), flowMode, flowDescription, site, session.AppFolder,
                                 session.Options.ErrorTrapping, prompter, session.Services.Dialogs,
                                 session.Services.Hourglass, openGraph},
            &window);
    }
    table->exec();
}

} // namespace

void InstallArchive(Session& session, MainController& controller, MainWindow& window,
                    const QString& archiveLocation, OpenHistoryGraph openGraph)
{
    controller.SetHistoryArchiver([&session, archiveLocation](const HistoryArchiveRequest& request, QWidget*) {
        SaveToArchive(session, archiveLocation, request);
    });
    QObject::connect(&window, &MainWindow::CommandChosen, &window,
                     [&session, &window, archiveLocation, openGraph = std::move(openGraph)](MainCommand command) {
                         if (command == MainCommand::OpenArchive) {
                             OpenFromArchive(session, window, archiveLocation, openGraph);
                         }
                     });
}
