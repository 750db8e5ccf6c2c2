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
    CommunicationsLog log;
    PortDirectory portDirectory;
    QtSerialPort port{portDirectory};
    QtPrompter prompter;
    QtFileDialogs fileDialogs;
    QtSettingsStore settingsStore;
    QtHelpViewer helpViewer;
    QtBusyCursor busyCursor;
    Platform platform{port, prompter, fileDialogs, settingsStore, helpViewer, busyCursor};
    Session session{platform, portDirectory};
    MainWindow window;
    MainController controller{session, window};
    QPointer<CommunicationsLogWindow> logWindow;
};

Program::Program(const QString& commandLine, const QString& appFolder) : parts_(std::make_unique<Parts>())
{
    QApplication::setApplicationName(QStringLiteral("Brevel Flow Monitor"));
    MainController& controller = parts_->controller;
    InstallGraphs(parts_->session, controller, parts_->window);
    // A team shares an archive on a server: BREVEL_ARCHIVE=postgresql://...
    InstallArchive(parts_->session, controller, parts_->window, qEnvironmentVariable("BREVEL_ARCHIVE"),
                   HistoryGraphOpener(parts_->session));
    InstallCommunicationsLog();
    // File > Exit ends the program at once; closing the window ends it after
    // the closing steps, as the last window goes.
    QObject::connect(&controller, &MainController::exitRequested, &controller, [] { QCoreApplication::exit(0); });
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
    parts.session.Link.SetTrace([&parts](const LinkTraceEvent& event) { parts.log.add(event); });
    QObject::connect(&parts.window, &MainWindow::commandChosen, &parts.window, [&parts](MainCommand command) {
        if (command != MainCommand::CommunicationsLog) {
            return;
        }
        if (!parts.logWindow) {
            parts.logWindow = new CommunicationsLogWindow(parts.log, parts.platform.fileDialogs,
                                                          parts.platform.prompter, &parts.window);
        }
        parts.logWindow->show();
        parts.logWindow->raise();
        parts.logWindow->activateWindow();
    });
}

int Program::Run()
{
    return QApplication::exec();
}

MainWindow& Program::Window()
{
    return parts_->window;
}
