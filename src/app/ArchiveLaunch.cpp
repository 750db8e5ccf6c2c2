#include "app/ArchiveLaunch.h"

#include "app/MainController.h"
#include "app/Session.h"
#include "archive/Archive.h"
#include "archive/ArchiveImport.h"
#include "platform/BusyCursor.h"
#include "platform/Prompter.h"

#include <QDateTime>

namespace {

const QString Title = QStringLiteral("Save to Archive");

// "Saved 480 new records to the archive sqlite:/home/ann/.local/share/Brevel/archive.sqlite (20 were already there)."
QString ResultText(const ArchiveImportResult& result, const Archive& archive)
{
    QString text = QStringLiteral("Saved %1 new records to the archive %2").arg(result.added).arg(archive.location().text());
    if (result.alreadyThere > 0) {
        text += QStringLiteral(" (%1 were already there)").arg(result.alreadyThere);
    }
    return text + QLatin1Char('.');
}

} // namespace

void InstallArchive(Session& session, MainController& controller, const QString& archiveLocation)
{
    controller.SetHistoryArchiver([&session, archiveLocation](const HistoryArchiveRequest& request, QWidget*) {
        Prompter& prompter = session.platform.prompter;
        QString error;
        std::optional<ArchiveImportResult> result;
        std::unique_ptr<Archive> archive;
        {
            BusyScope busy(session.platform.busyCursor);
            const std::optional<ArchiveLocation> location = ParseArchiveLocation(archiveLocation, &error);
            archive = location ? Archive::open(*location, &error) : nullptr;
            if (archive) {
                ArchiveCollection collection;
                collection.collectedAt = QDateTime::currentDateTime();
                collection.port = session.UseModem ? session.User.ModemPort : session.User.DirectPort;
                collection.complete = request.complete;
                result = ImportDownload(*archive, {request.records, request.settings, request.flow,
                                                   request.flowDescription, collection, QString()});
            }
        }
        if (result && result->ok) {
            prompter.tell(Title, ResultText(*result, *archive), PromptIcon::Information);
        } else {
            prompter.tell(Title, QStringLiteral("Error: ") + (result ? result->error : error), PromptIcon::Error);
        }
    });
}
