#include "Journey.h"
#include "TestRegistry.h"
#include "app/MainWindow.h"

#include <QGuiApplication>
#include <QLabel>
#include <QTest>

// Closing the main window while an action still talks to the logger ends
// the program, as closing it at any other time does. (A program that cannot
// end stops the test program, so these come last.)
class WindowCloseJourney : public QObject {
    Q_OBJECT
private slots:
    void closingDuringADownloadEndsTheProgram()
    {
        Journey journey({"--records", "20000"});
        journey.connectWindow();
        journey.connected();
        journey.then("Get History", [&] { user::click(user::find(&journey.window(), "cmdGetHistoryData")); });
        journey.when("the first records", [] {
            QWidget* progress = user::modal("frmGetHistoryData");
            return progress && user::find<QLabel>(progress, "lblGetHistoryData")->text().section(' ', 0, 0).toInt() > 0;
        });
        journey.closeMainWindow("close the main window during the download");
        journey.run();
    }

    void closingDuringGetSampleEndsTheProgram()
    {
        Journey journey({});
        journey.connectWindow();
        journey.connected();
        journey.then("Get Sample", [&] { user::click(user::find(&journey.window(), "cmdGetSettings")); });
        journey.when("the hourglass of Get Sample", [] { return QGuiApplication::overrideCursor() != nullptr; });
        journey.closeMainWindow("close the main window during Get Sample");
        journey.run();
    }
};

BREVEL_TEST(WindowCloseJourney)
#include "tst_windowclose.moc"
