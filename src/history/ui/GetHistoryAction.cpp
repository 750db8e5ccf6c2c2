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
    services.records.reset(services.settings.NumAnalogChannels + services.settings.NumDigitalChannels);
    if (!services.commands.ReadLoggerStatus()) {
        services.prompter.tell(Title, QStringLiteral("Error: upload not successful!"), PromptIcon::Error);
        return;
    }
    if (services.status.RecordCount == 0) {
        services.prompter.tell(Title, QStringLiteral("No history in memory!"), PromptIcon::Information);
        return;
    }

    LinkHistoryBlocks blocks(services.link);
    HistoryDownload download(blocks, services.records, services.settings.NumAnalogChannels,
                             services.settings.NumDigitalChannels);
    {
        GetHistoryDataWindow progress(download, services.status.RecordCount, services.prompter, services.errorTrapping,
                                      parent);
        progress.exec();
    }
    const bool complete = services.records.count() == int(services.status.RecordCount);
    // Whatever ended the download, what arrived is shown: the closing
    // message has told the user how complete it is.
    if (services.records.count() > 0) {
        std::unique_ptr<HistoryWindow> table;
        {
            // The hourglass covers the status read and the first build of
            // the table, not the user's time with it.
            BusyScope busy(services.busyCursor);
            services.commands.ReadLoggerStatus();
            const HistoryTableInputs inputs = services.tableInputs ? services.tableInputs() : HistoryTableInputs{};
            std::function<void(QWidget*)> saveToArchive;
            if (services.saveToArchive) {
                saveToArchive = [&services, inputs, complete](QWidget* window) {
                    services.saveToArchive({services.records, services.settings, inputs.flow,
                                            inputs.flowDescription, complete},
                                           window);
                };
            }
            table = std::make_unique<HistoryWindow>(
                HistoryWindowContext{std::make_unique<HistoryTable>(services.records, services.settings, inputs.flow),
                                     services.settings.FlowMode, inputs.flowDescription, inputs.loggerName,
                                     services.appFolder, services.errorTrapping, services.prompter,
                                     services.fileDialogs, services.busyCursor, services.openGraph,
                                     std::move(saveToArchive)},
                parent);
        }
        table->exec();
    }
    services.commands.ReadLoggerStatus();
    services.status.LoggerTimeText = services.commands.ReadLoggerClock();
}

} // namespace

void RunGetHistory(GetHistoryServices& services, QWidget* parent)
{
    const ExchangeGuard exchange(services.line, services.samplingContinuously);
    if (exchange) {
        RunTrapped(services.errorTrapping, [&] { DownloadAndShow(services, parent); }, [] {});
    }
}
