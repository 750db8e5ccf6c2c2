#include "Journey.h"
#include "TestRegistry.h"
#include "app/MainWindow.h"
#include "config/SettingsImage.h"
#include "config/Rating.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

QWidget* Setup()
{
    return user::modal("frmSetup");
}

QWidget* Control(const QString& name)
{
    return user::find(Setup(), name);
}

QString Text(const QString& name)
{
    return user::find<QLineEdit>(Setup(), name)->text();
}

// The wizard showing the step with this prompt, and for a raw count step
// the live reading.
bool WizardShows(const QString& prompt, const QString& value = QString())
{
    QWidget* wizard = user::modal("frmCalibrate");
    return wizard && user::find<QLabel>(wizard, "lblCalibrate")->text().startsWith(prompt)
        && (value.isEmpty() || user::find<QLineEdit>(wizard, "txtCalibrate")->text() == value);
}

} // namespace

// The setup window filled with the keyboard, programmed, saved to and loaded
// from a file, and a channel calibrated against the logger's live counts.
class SetupJourney : public QObject {
    Q_OBJECT
private slots:
    void typesProgramsSavesLoadsAndCalibrates()
    {
        Journey journey({"--counts", "30000,20000,10000", "--control"});
        const QString setupFile = journey.files.filePath("river.set");
        QByteArray before;
        journey.connectWindow();
        journey.connected();
        journey.then("Setup", [&] { user::click(user::find(&journey.window(), "cmdSetup")); });
        journey.then("the settings typed in", [&] {
            before = journey.settingsImage();
            user::type(Control("txtName"), "River Gauge 7");
            user::type(Control("cmbWarmup"), "12");
            user::pick(user::find<QComboBox>(Setup(), "cmbSampleInterval"), "minutes");
            user::page(Setup(), "Flow Calculation");
            user::type(Control("cmbRoughness"), "0.02");
            user::pick(user::find<QComboBox>(Setup(), "cmbFlowUnits"), "gpm - gallons per minute");
            user::page(Setup(), "Analog Channels");
            user::type(Control("cmbEU_1"), "pH");
            user::type(Control("cmbPrecision_0"), "3");
            user::page(Setup(), "General");
            user::type(Control("txtSampleInterval"), "0");
            user::click(Control("cmdOK"));
        });
        journey.answer("Format Error", QMessageBox::Ok, "Error: sample interval must be between 1 and 65535.");
        journey.then("a legal interval programmed", [&] {
            QCOMPARE(QApplication::focusWidget(), Control("txtSampleInterval"));
            QVERIFY2(journey.settingsImage() == before, "settings were programmed with an illegal interval");
            user::type(Control("txtSampleInterval"), "15");
            user::click(Control("cmdOK"));
        });
        journey.answer("Program Settings", QMessageBox::Yes, "Are you sure you want to program settings into logger memory?");
        journey.then("the settings saved to a file", [&] {
            LoggerSettings logger;
            logger.NumAnalogChannels = 3;
            logger.NumDigitalChannels = 2;
            RatingState rating;
            QVERIFY(DecodeSettings(journey.settingsImage(), logger, rating, true));
            QCOMPARE(logger.LoggerName, "River Gauge 7");
            QCOMPARE(logger.SampleInterval, "15 minutes");
            QCOMPARE(logger.SensorWarmupTime, 12);
            QCOMPARE(logger.ManningsN, 0.02);
            QCOMPARE(logger.FlowUnits, 1);
            QCOMPARE(logger.EngUnits[1], "pH");
            QCOMPARE(logger.DecPlaces[0], 3);
            user::menu(Setup(), "&File", "&Save Setup File");
        });
        journey.fileDialog("Save Setup File", setupFile);
        journey.then("a changed name, then the file loaded", [&] {
            const QStringList lines = FileLines(setupFile);
            QCOMPARE(lines.size(), 141);
            for (const char* line : {"LoggerName=River Gauge 7", "SampleInterval=15 minutes", "SensorWarmupTime=12",
                                     "ManningsN=0.02", "FlowUnits=1", "EngUnits=pH"}) {
                QVERIFY2(lines.contains(line), line);
            }
            user::type(Control("txtName"), "Somewhere Else");
            user::menu(Setup(), "&File", "&Load Setup File");
        });
        journey.answer("Data Has Changed", QMessageBox::No, "without being saved to a file");
        journey.fileDialog("Load Setup File", setupFile);
        journey.then("Calibrate channel 1", [] {
            QCOMPARE(Text("txtName"), "River Gauge 7");
            user::page(Setup(), "Analog Channels");
            user::click(Control("cmdCalibrate_0"));
        });
        const auto typeAndEnter = [](const QString& value) {
            QWidget* field = user::find(user::modal("frmCalibrate"), "txtCalibrate");
            user::type(field, value);
            QTest::keyClick(field, Qt::Key_Return);
        };
        const auto next = [] { user::press("frmCalibrate", "cmdNext"); };
        journey.when("the highest value", [] { return WizardShows("Enter the highest value"); }, [&] { typeAndEnter("10"); });
        journey.when("the live count at the highest value", [] { return WizardShows("Press Next", "30000"); }, next);
        journey.when("the lowest value", [] { return WizardShows("Enter the lowest value"); }, [&] {
            journey.sim.process.write("counts 5000,20000,10000\n"); // the water falls to the lowest point
            typeAndEnter("2");
        });
        journey.when("the live count at the lowest value", [] { return WizardShows("Press Finish", "5000"); }, next);
        journey.then("back to the main window", [] {
            QCOMPARE(Text("txtHighEU_0"), "10");
            QCOMPARE(Text("txtHighRaw_0"), "30000");
            QCOMPARE(Text("txtLowEU_0"), "2");
            QCOMPARE(Text("txtLowRaw_0"), "5000");
            user::click(Control("cmdCancel"));
        });
        journey.answer("Data Has Changed", QMessageBox::No, "without being saved to a file");
        journey.answer("Data Has Changed", QMessageBox::No, "without being programmed to the logger");
        journey.then("the programmed settings read back", [&] {
            QCOMPARE(journey.label("lblLoggerName"), "River Gauge 7");
            QCOMPARE(journey.label("lblSampleInterval"), "15 minutes");
            QCOMPARE(journey.label("lblWarmup"), "12 sec");
            QCOMPARE(journey.label("lblUnits1"), "pH");
            QCOMPARE(journey.label("lblMax0"), "100.000");
        });
        journey.closeMainWindow();
        journey.run();
    }
};

BREVEL_TEST(SetupJourney)
#include "tst_setup.moc"
