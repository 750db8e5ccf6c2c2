#include "app/Program.h"

#include "app/ArchiveLaunch.h"
#include "app/GraphLaunch.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/Session.h"
#include "link/CommunicationsLog.h"
#include "link/PortDirectory.h"
#include "link/ui/CommunicationsLogWindow.h"
#include "link/QtSerialPort.h"
#include "platform/ui/QtBusyCursor.h"
#include "platform/ui/QtFileDialogs.h"
#include "platform/ui/QtHelpViewer.h"
#include "platform/ui/QtPrompter.h"
#include "platform/QtSettingsStore.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QTimer>

struct Program::Parts {
    // First, so that it outlives the link that writes to it and the window
    // that shows it.
    CommunicationsLog Log;
    PortDirectory Ports;
    QtSerialPort Port{Ports};
    QtPrompter Prompter;
    QtFileDialogs FileDialogs;
    QtSettingsStore SettingsStore;
    QtHelpViewer HelpViewer;
    QtBusyCursor BusyCursor;
    Platform Services{Port, Prompter, FileDialogs, SettingsStore, HelpViewer, BusyCursor};
    Session State{Services, Ports};
    MainWindow Window;
    MainController Controller{State, Window};
    QPointer<CommunicationsLogWindow> LogWindow;
};

Program::Program(const QString& commandLine, const QString& appFolder) : parts_(std::make_unique<Parts>())
{
    QApplication::setApplicationName(QStringLiteral("Brevel Flow Monitor"));
    MainController& controller = parts_->Controller;
    InstallGraphs(parts_->State, controller, parts_->Window);
    // A team shares an archive on a server: BREVEL_ARCHIVE=postgresql://...
    InstallArchive(parts_->State, controller, parts_->Window, qEnvironmentVariable("BREVEL_ARCHIVE"),
                   HistoryGraphOpener(parts_->State));
    InstallCommunicationsLog();
    // File > Exit ends the program at once; closing the window ends it after
    // the closing steps, as the last window goes.
    QObject::connect(&controller, &MainController::ExitRequested, &controller, [] { QCoreApplication::exit(0); });
    controller.StartUp(commandLine, appFolder);
    // The last step of start-up: Connect, as if the user had pressed it.
    QTimer::singleShot(0, &controller, &MainController::ConnectAction);
}

Program::~Program() = default;

// The link tells the log every frame from the start, so that Help >
// Communications Log shows what went wrong before the user opened it.
void Program::InstallCommunicationsLog()
{
    Parts& parts = *parts_;
    parts.State.Link.SetTrace([&parts](const LinkTraceEvent& event) { parts.Log.Add(event); });
    QObject::connect(&parts.Window, &MainWindow::CommandChosen, &parts.Window, [&parts](MainCommand command) {
        if (command != MainCommand::CommunicationsLog) {
            return;
        }
        if (!parts.LogWindow) {
            parts.LogWindow = new CommunicationsLogWindow(parts.Log, parts.Services.Dialogs,
                                                          parts.Services.Messages, &parts.Window);
        }
        parts.LogWindow->show();
        parts.LogWindow->raise();
        parts.LogWindow->activateWindow();
    });
}

int Program::Run()
{
    return QApplication::exec();
}

MainWindow& Program::Window()
{
    return parts_->Window;
}
