#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/Session.h"
#include "history/ui/GetHistoryAction.h"
#include "history/HistoryFlow.h"

#include <QLabel>

// Get History: the download and the table work on the session's records;
// the table takes the flow description from what the main window shows.
void MainController::GetHistory()
{
    Platform& platform = session_.platform;
    const MainWidgets& ui = window_.ui();
    GetHistoryServices services{session_.Connection,
                                session_.Status,
                                session_.Options.ErrorTrapping,
                                session_.Window.SamplingContinuously,
                                session_.Logger,
                                session_.History,
                                session_.Link,
                                session_.Commands,
                                platform.prompter,
                                platform.fileDialogs,
                                platform.busyCursor,
                                session_.AppFolder,
                                [this, &ui] {
                                    return HistoryTableInputs{
                                        MakeHistoryFlowSource(session_.Logger, session_.Rating, session_.FlowDisplay),
                                        HistoryFlowDescription{ui.lblOffset2->text(), ui.lblRoughness2->text(),
                                                               ui.lblSlope2->text(), ui.lblPipeDiameter2->text(),
                                                               session_.Rating.RatingName},
                                        session_.Logger.LoggerName};
                                },
                                graphs_.history,
                                archiver_};
    RunGetHistory(services, &window_);
}
