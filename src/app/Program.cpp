#include "app/Program.h"

#include "app/GraphLaunch.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/Session.h"
#include "link/PortDirectory.h"
#include "link/QtSerialPort.h"
#include "platform/ui/QtBusyCursor.h"
#include "platform/ui/QtFileDialogs.h"
#include "platform/ui/QtHelpViewer.h"
#include "platform/ui/QtPrompter.h"
#include "platform/QtSettingsStore.h"

#include <QApplication>
#include <QTimer>

struct Program::Parts {
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
};

Program::Program(const QString& commandLine, const QString& appFolder) : parts_(std::make_unique<Parts>())
{
    QApplication::setApplicationName(QStringLiteral("Brevel Flow Monitor"));
    MainController& controller = parts_->controller;
    InstallGraphs(parts_->session, controller, parts_->window);
    // File > Exit ends the program at once; closing the window ends it after
    // the closing steps, as the last window goes.
    QObject::connect(&controller, &MainController::exitRequested, &controller, [] { QCoreApplication::exit(0); });
    controller.StartUp(commandLine, appFolder);
    // The last step of start-up: Connect, as if the user had pressed it.
    QTimer::singleShot(0, &controller, &MainController::ConnectAction);
}

Program::~Program() = default;

int Program::Run()
{
    return QApplication::exec();
}

MainWindow& Program::Window()
{
    return parts_->window;
}
