#include "Journey.h"
#include "LoggerEngine.h"
#include "TestRegistry.h"
#include "app/MainWindow.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QTest>

// The main window's readings and logger actions against a logger whose
// clock is three days behind and which holds 500 records; and the program
// closed while Get Sample still talks to the logger.
class LiveActionsJourney : public QObject {
    Q_OBJECT
private slots:
    void readsSynchronisesClearsAndSamples()
    {
        constexpr int64_t ThreeDays = 3 * 86400;
        Journey journey({"--counts", "32768,16384,62384", "--pulse-counts", "5,7"}, [](const QString& file) {
            LoggerOptions options;
            options.HistoryRecords = 500;
            LoggerMemory memory = LoggerEngine(options).memory();
            memory.ClockOffsetSeconds = -ThreeDays;
            QString error;
            QVERIFY2(memory.save(file, &error), qPrintable(error));
        });
        MainWindow& window = journey.window();
        journey.connectWindow();
        journey.connected();
        journey.then("the live readings of the known counts", [&] {
            // 32768 and 16384 of 0 to 65535 over 0 to 100; 62384 is the top of 0 to 24 V.
            QCOMPARE(journey.label("lblValue0"), "50.00");
            QCOMPARE(journey.label("lblValue1"), "25.00");
            QCOMPARE(journey.label("lblValue2"), "24.00");
            QCOMPARE(journey.label("lblPulseValue1"), "5 Pulses");
            QCOMPARE(journey.label("lblPulseValue2"), "7 Pulses");
            QCOMPARE(journey.label("lblRecordings"), "500");
            QVERIFY(journey.memory().ClockOffsetSeconds <= -ThreeDays + 5);
            const QString offset = journey.label("lblClockOffset");
            QVERIFY2(QRegularExpression("^Logger clock (3 days|2 days 23 h) behind this computer$").match(offset).hasMatch(),
                     qPrintable(offset));
            user::menu(&window, "&Action", "Synchronize &Time");
        });
        journey.answer("Synchronize Time", QMessageBox::Yes, "set the logger time to equal the system time");
        // The status bar follows at the next status tick.
        const QRegularExpression synchronised("^Logger clock (agrees with|[1-5] s (behind|ahead of)) this computer$");
        journey.when("Clear History", [&] { return synchronised.match(journey.label("lblClockOffset")).hasMatch(); },
                     [&] {
                         QVERIFY(qAbs(journey.memory().ClockOffsetSeconds) <= 5);
                         user::click(user::find(&window, "cmdClearMemory"));
                     });
        journey.answer("Clear History", QMessageBox::Yes, "erase the history buffer");
        journey.when("no records left", [&] { return journey.label("lblRecordings") == u"0"; },
                     [&] { QVERIFY(journey.memory().History.empty()); });
        journey.then("Get Sample", [&] { user::click(user::find(&window, "cmdGetSettings")); });
        journey.then("the firmware version", [&] {
            // The reading before the new one moved down into the column's history.
            QVERIFY2(journey.label("lblHistory0").contains("50.00"), qPrintable(journey.label("lblHistory0")));
            user::menu(&window, "&Help", "&Firmware Version");
        });
        journey.answer("Firmware Version", QMessageBox::Ok, "Logger firmware version = 7");
        journey.then("Get Sample again", [&] { user::click(user::find(&window, "cmdGetSettings")); });
        journey.when("the hourglass of Get Sample", [] { return QGuiApplication::overrideCursor() != nullptr; });
        journey.closeMainWindow("close the main window during Get Sample");
        journey.run();
    }
};

BREVEL_TEST(LiveActionsJourney)
#include "tst_liveactions.moc"
