#include "history/ui/GetHistoryAction.h"

#include "link/ExchangeGuard.h"
#include "link/LinkState.h"
#include "link/LoggerStatus.h"
#include "core/ErrorTrap.h"
#include "history/ui/GetHistoryDataWindow.h"
#include "history/HistoryRecords.h"
#include "history/ui/HistoryWindow.h"
#include "history/LinkHistoryBlocks.h"
#include "link/LoggerCommands.h"
#include "platform/BusyCursor.h"
#include "platform/Prompter.h"

#include <memory>

namespace {

const QString Title = QStringLiteral("Get History Data");

void DownloadAndShow(GetHistoryServices& services, QWidget* parent)
{
    services.Records.Reset(services.Settings.NumAnalogChannels + services.Settings.NumDigitalChannels);
    if (!services.Commands.ReadLoggerStatus()) {
        services.Messages.Tell(Title, QStringLiteral("Error: upload not successful!"), PromptIcon::Error);
        return;
    }
    if (services.Status.RecordCount == 0) {
        services.Messages.Tell(Title, QStringLiteral("No history in memory!"), PromptIcon::Information);
        return;
    }

    LinkHistoryBlocks blocks(services.Link);
    HistoryDownload download(blocks, services.Records, services.Settings.NumAnalogChannels,
                             services.Settings.NumDigitalChannels);
    {
        GetHistoryDataWindow progress(download, services.Status.RecordCount, services.Messages, services.ErrorTrapping,
                                      parent);
        progress.exec();
    }
    const bool complete = services.Records.Count() == int(services.Status.RecordCount);
    // Whatever ended the download, what arrived is shown: the closing
    // message has told the user how complete it is.
    if (services.Records.Count() > 0) {
        std::unique_ptr<HistoryWindow> table;
        {
            // The hourglass covers the status read and the first build of
            // the table, not the user's time with it.
            BusyScope busy(services.Hourglass);
            services.Commands.ReadLoggerStatus();
            const HistoryTableInputs inputs = services.TableInputs ? services.TableInputs() : HistoryTableInputs{};
            std::function<void(QWidget*)> saveToArchive;
            if (services.SaveToArchive) {
                saveToArchive = [&services, inputs, complete](QWidget* window) {
                    services.SaveToArchive({services.Records, services.Settings, inputs.Flow,
                                            inputs.FlowDescription, complete},
                                           window);
                };
            }
            table = std::make_unique<HistoryWindow>(
                HistoryWindowContext{std::make_unique<HistoryTable>(services.Records, services.Settings, inputs.Flow),
                                     services.Settings.FlowMode, inputs.FlowDescription, inputs.LoggerName,
                                     services.AppFolder, services.ErrorTrapping, services.Messages,
                                     services.Dialogs, services.Hourglass, services.OpenGraph,
                                     std::move(saveToArchive)},
                parent);
        }
        table->exec();
    }
    services.Commands.ReadLoggerStatus();
    services.Status.LoggerTimeText = services.Commands.ReadLoggerClock();
}

} // namespace

void RunGetHistory(GetHistoryServices& services, QWidget* parent)
{
    const ExchangeGuard exchange(services.Line, services.SamplingContinuously);
    if (exchange) {
        RunTrapped(services.ErrorTrapping, [&] { DownloadAndShow(services, parent); }, [] {});
    }
}
