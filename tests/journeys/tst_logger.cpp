#include "Journey.h"
#include "LoggerEngine.h"

// The main window's actions and the setup window, then the program closed during Get Sample.
class LoggerJourney : public QObject {
    Q_OBJECT
private slots:
    void readsSynchronisesClearsSetsUpAndCalibrates()
    {
        constexpr int64_t ThreeDays = 3 * 86400;
        Journey journey({"--counts", "32768,16384,62384", "--pulse-counts", "5,7", "--control"}, [](const QString& to) {
            LoggerMemory memory = LoggerEngine(LoggerOptions()).Memory(); // 500 records
            memory.ClockOffsetSeconds = -ThreeDays;
            QString error;
            QVERIFY2(memory.Save(to, &error), qPrintable(error));
        });
        MainWindow& window = journey.window();
        const QString setupFile = journey.files.path("river.set");
        const auto setup = [] { return user::modal("frmSetup"); };
        journey.connectWindow();
        journey.connected();
        journey.then("the live readings of the known counts", [&] {
            // 32768 and 16384 of 0 to 65535 over 0 to 100; 62384 is the top of 0 to 24 V.
            QCOMPARE(user::texts(&window, {"lblValue0", "lblValue1", "lblValue2", "lblPulseValue1", "lblPulseValue2",
                                           "lblRecordings"}),
                     "50.00 | 25.00 | 24.00 | 5 Pulses | 7 Pulses | 500");
            QVERIFY(journey.memory().ClockOffsetSeconds <= -ThreeDays + 5);
            user::menu(&window, "&Action", "Synchronize &Time");
        });
        journey.answer("Synchronize Time", QMessageBox::Yes, "set the logger time to equal the system time");
        // The status bar follows at the next status tick.
        const QRegularExpression synchronised("^Logger clock (agrees with|[1-5] s (behind|ahead of)) this computer$");
        journey.when("Clear History", [&] { return synchronised.match(journey.label("lblClockOffset")).hasMatch(); },
                     [&] { user::click(user::find(&window, "cmdClearMemory")); });
        journey.answer("Clear History", QMessageBox::Yes, "erase the history buffer");
        journey.when("no records left", [&] { return journey.label("lblRecordings") == u"0"; });
        journey.then("Get Sample", [&] { user::click(user::find(&window, "cmdGetSettings")); });
        journey.then("the firmware version", [&] {
            // The reading before the new one moved down into the column's history.
            QVERIFY2(journey.label("lblHistory0").contains("50.00"), qPrintable(journey.label("lblHistory0")));
            user::menu(&window, "&Help", "&Firmware Version");
        });
        journey.answer("Firmware Version", QMessageBox::Ok, "Logger firmware version = 7");
        journey.then("Setup", [&] { user::click(user::find(&window, "cmdSetup")); });
        journey.then("the settings typed in", [&] {
            user::type(user::find(setup(), "txtName"), "River Gauge 7");
            user::type(user::find(setup(), "cmbWarmup"), "12");
            user::pick(user::find<QComboBox>(setup(), "cmbSampleInterval"), "minutes");
            user::page(setup(), "Flow Calculation");
            user::type(user::find(setup(), "cmbRoughness"), "0.02");
            user::pick(user::find<QComboBox>(setup(), "cmbFlowUnits"), "gpm - gallons per minute");
            user::page(setup(), "Analog Channels");
            user::type(user::find(setup(), "cmbEU_1"), "pH");
            user::type(user::find(setup(), "cmbPrecision_0"), "3");
            user::page(setup(), "General");
            user::type(user::find(setup(), "txtSampleInterval"), "0");
            user::click(user::find(setup(), "cmdOK"));
        });
        journey.answer("Format Error", QMessageBox::Ok, "Error: sample interval must be between 1 and 65535.");
        journey.then("a legal interval programmed", [&] {
            user::type(user::find(setup(), "txtSampleInterval"), "15");
            user::click(user::find(setup(), "cmdOK"));
        });
        journey.answer("Program Settings", QMessageBox::Yes, "program settings into logger memory?");
        journey.then("the settings saved to a file", [&] { user::menu(setup(), "&File", "&Save Setup File"); });
        journey.fileDialog("Save Setup File", setupFile);
        journey.then("a changed name, then the file loaded", [&] {
            user::type(user::find(setup(), "txtName"), "Somewhere Else");
            user::menu(setup(), "&File", "&Load Setup File");
        });
        journey.answer("Data Has Changed", QMessageBox::No, "without being saved to a file");
        journey.fileDialog("Load Setup File", setupFile);
        journey.then("Calibrate channel 1", [&] {
            QCOMPARE(user::texts(setup(), {"txtName", "txtSampleInterval"}), "River Gauge 7 | 15");
            user::page(setup(), "Analog Channels");
            user::click(user::find(setup(), "cmdCalibrate_0"));
        });
        const auto next = [] { user::press("frmCalibrate", "cmdNext"); };
        const auto shows = [](const QString& prompt, const QString& value = QString()) {
            QWidget* wizard = user::modal("frmCalibrate");
            return wizard && user::find<QLabel>(wizard, "lblCalibrate")->text().startsWith(prompt)
                && (value.isEmpty() || user::find<QLineEdit>(wizard, "txtCalibrate")->text() == value);
        };
        journey.when("the highest value", [&] { return shows("Enter the highest value"); },
                     [] { user::type(user::find(user::modal("frmCalibrate"), "txtCalibrate"), "10\r"); });
        journey.when("the live count at the highest value", [&] { return shows("Press Next", "32768"); }, next);
        journey.when("the lowest value", [&] { return shows("Enter the lowest value"); }, [&] {
            journey.sim.process.write("counts 5000,16384,62384\n"); // the water falls to the lowest point
            user::type(user::find(user::modal("frmCalibrate"), "txtCalibrate"), "2\r");
        });
        journey.when("the live count at the lowest value", [&] { return shows("Press Finish", "5000"); }, next);
        journey.then("back to the main window", [&] {
            QCOMPARE(user::texts(setup(), {"txtHighEU_0", "txtHighRaw_0", "txtLowEU_0", "txtLowRaw_0"}),
                     "10 | 32768 | 2 | 5000");
            user::click(user::find(setup(), "cmdCancel"));
        });
        journey.answer("Data Has Changed", QMessageBox::No, "without being saved to a file");
        journey.answer("Data Has Changed", QMessageBox::No, "without being programmed to the logger");
        journey.then("the programmed settings read back", [&] {
            QCOMPARE(user::texts(&window, {"lblLoggerName", "lblSampleInterval", "lblWarmup", "lblUnits1", "lblMax0",
                                           "lblRoughness2", "lblUnits3"}),
                     "River Gauge 7 | 15 minutes | 12 sec | pH | 100.000 |  0.02 | GPM");
            user::click(user::find(&window, "cmdGetSettings"));
        });
        journey.when("the hourglass of Get Sample", [] { return QGuiApplication::overrideCursor() != nullptr; });
        journey.closeMainWindow("close the main window during Get Sample");
        journey.run();
    }
};

BREVEL_TEST(LoggerJourney)
#include "tst_logger.moc"
