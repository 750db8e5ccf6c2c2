#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/Session.h"
#include "app/VersionReport.h"
#include "core/AppFolder.h"
#include "link/PortDirectory.h"
#include "link/QtSerialPort.h"
#include "platform/QtBusyCursor.h"
#include "platform/QtFileDialogs.h"
#include "platform/QtHelpViewer.h"
#include "platform/QtPrompter.h"
#include "platform/QtSettingsStore.h"

#include <QApplication>
#include <QStringList>
#include <QTextStream>
#include <QTimer>

int main(int argc, char** argv)
{
    if (AsksForVersionReport(argc, argv)) {
        QCoreApplication app(argc, argv);
        QTextStream out(stdout);
        WriteVersionReport(out, AppFolder());
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brevel Flow Monitor"));

    PortDirectory portDirectory;
    QtSerialPort port(portDirectory);
    QtPrompter prompter;
    QtFileDialogs fileDialogs;
    QtSettingsStore settingsStore;
    QtHelpViewer helpViewer;
    QtBusyCursor busyCursor;
    Platform platform{port, prompter, fileDialogs, settingsStore, helpViewer, busyCursor};
    Session session(platform, portDirectory);

    MainWindow window;
    MainController controller(session, window);
    // File > Exit ends the program at once; closing the window ends it after
    // the closing steps, as the last window goes.
    QObject::connect(&controller, &MainController::exitRequested, &app, [] { QCoreApplication::exit(0); });
    controller.StartUp(QApplication::arguments().mid(1).join(QLatin1Char(' ')), AppFolder());
    // The last step of start-up: Connect, as if the user had pressed it.
    QTimer::singleShot(0, &controller, &MainController::ConnectAction);
    return QApplication::exec();
}
