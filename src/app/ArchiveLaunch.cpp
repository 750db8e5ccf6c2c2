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
    return location ? Archive::open(*location, error) : nullptr;
}

// "Saved 480 new records to the archive sqlite:/home/ann/.local/share/Brevel/archive.sqlite (20 were already there)."
QString ResultText(const ArchiveImportResult& result, const Archive& archive)
{
    QString text = QStringLiteral("Saved %1 new records to the archive %2").arg(result.added).arg(archive.location().text());
    if (result.alreadyThere > 0) {
        text += QStringLiteral(" (%1 were already there)").arg(result.alreadyThere);
    }
    return text + QLatin1Char('.');
}

void SaveToArchive(Session& session, const QString& archiveLocation, const HistoryArchiveRequest& request)
{
    QString error;
    std::optional<ArchiveImportResult> result;
    std::unique_ptr<Archive> archive;
    {
        BusyScope busy(session.platform.busyCursor);
        archive = OpenArchiveAt(archiveLocation, &error);
        if (archive) {
            ArchiveCollection collection;
            collection.collectedAt = QDateTime::currentDateTime();
            collection.port = session.UseModem ? session.User.ModemPort : session.User.DirectPort;
            collection.complete = request.complete;
            result = ImportDownload(*archive, {request.records, request.settings, request.flow,
                                               request.flowDescription, collection, QString()});
        }
    }
    Prompter& prompter = session.platform.prompter;
    if (result && result->ok) {
        prompter.tell(SaveTitle, ResultText(*result, *archive), PromptIcon::Information);
    } else {
        prompter.tell(SaveTitle, QStringLiteral("Error: ") + (result ? result->error : error), PromptIcon::Error);
    }
}

// The sites of the archive; the user picks one, whose records open in the
// history table.
void OpenFromArchive(Session& session, MainWindow& window, const QString& archiveLocation,
                     const OpenHistoryGraph& openGraph)
{
    Prompter& prompter = session.platform.prompter;
    QString error;
    std::unique_ptr<Archive> archive;
    std::optional<std::vector<ArchiveSite>> sites;
    {
        BusyScope busy(session.platform.busyCursor);
        archive = OpenArchiveAt(archiveLocation, &error);
        sites = archive ? ListSites(*archive, &error) : std::nullopt;
    }
    if (!sites) {
        prompter.tell(OpenTitle, QStringLiteral("Error: ") + error, PromptIcon::Error);
        return;
    }
    if (sites->empty()) {
        prompter.tell(OpenTitle,
                      QStringLiteral("The archive %1 holds no records yet: save a download to it with the history "
                                     "table's Save to Archive button.")
                          .arg(archive->location().text()),
                      PromptIcon::Information);
        return;
    }
    QString site;
    {
        ArchiveSitesWindow chooser(archive->location().text(), *sites, &window);
        chooser.exec();
        site = chooser.chosenSite();
    }
    if (site.isEmpty()) {
        return;
    }
    std::unique_ptr<HistoryWindow> table;
    {
        BusyScope busy(session.platform.busyCursor);
        std::optional<ArchiveRecords> records = LoadSiteRecords(*archive, site, {}, &error);
        if (!records) {
            prompter.tell(OpenTitle, QStringLiteral("Error: ") + error, PromptIcon::Error);
            return;
        }
        auto siteTable = std::make_unique<ArchiveSiteTable>(std::move(*records));
        const ArchiveDownloadFacts* newest = siteTable->newestDownload();
        const uint8_t flowMode = newest ? newest->flowMode : 0;
        const HistoryFlowDescription flowDescription = newest ? newest->flowDescription : HistoryFlowDescription{};
        table = std::make_unique<HistoryWindow>(
            HistoryWindowContext{std::move(siteTable), flowMode, flowDescription, site, session.AppFolder,
                                 session.Options.ErrorTrapping, prompter, session.platform.fileDialogs,
                                 session.platform.busyCursor, openGraph},
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
    QObject::connect(&window, &MainWindow::commandChosen, &window,
                     [&session, &window, archiveLocation, openGraph = std::move(openGraph)](MainCommand command) {
                         if (command == MainCommand::OpenArchive) {
                             OpenFromArchive(session, window, archiveLocation, openGraph);
                         }
                     });
}
