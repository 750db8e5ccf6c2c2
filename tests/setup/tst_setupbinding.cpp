#include "SetupRig.h"
#include "TestRegistry.h"
#include "config/SettingsImage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

namespace {

const QString BadUnitsText =
    "Warning: For the flow monitor calculations to be done correctly the channel 1\r\n"
    "unit's name must be one of Feet, Inches, Meters or cm (centimeters).\r\n\r\n"
    "The current unit's name (ft) is not supported.\r\n\r\n"
    "Use the Analog Channels Panel to set the units for channel 1 to one of the legal values.";

} // namespace

class SetupBindingTest : public QObject {
    Q_OBJECT
private slots:
    void readsEveryControlIntoTheRecord()
    {
        SetupRig rig;
        SetupWindow& w = rig.open();
        w.txtName->setText("River 4");
        w.cmbWarmup->setCurrentIndex(12);
        w.chkAlarm[0]->setChecked(true);
        w.txtAlarm[0]->setText("7:05");
        w.cmbAlarm[0]->setCurrentIndex(1);
        w.txtAlarm[1]->setText("12:00:09");
        w.cmbAlarm[1]->setCurrentIndex(0);
        w.optLogarithmic->setChecked(true);
        w.chkException->setChecked(true);
        w.txtSampleInterval->setText("15");
        w.cmbSampleInterval->setCurrentIndex(1);
        w.txtException->setText("40.5");
        w.chkWrap->setChecked(false);
        w.cmbBaud->setCurrentIndex(4);
        w.chkSOD->setChecked(true);
        w.chkEnable[1]->setChecked(false);
        w.cmbEU[1]->setEditText("ppm");
        w.txtHighEU[1]->setText("12.5");
        w.txtLowEU[1]->setText("-3");
        w.txtTop[1]->setText("20");
        w.txtBottom[1]->setText("1e-2");
        w.txtHighRaw[1]->setText("60000");
        w.txtLowRaw[1]->setText("1000");
        w.cmbPrecision[1]->setCurrentIndex(3);
        w.chkPulseEnable[1]->setChecked(false);
        w.cmbPulseEU[1]->setEditText("Gallons");
        w.txtPulseUnit[1]->setText("0.25");
        w.cmbPulsePrecision[1]->setCurrentIndex(2);
        w.optWeir->setChecked(true);
        w.cmbFlume->setCurrentIndex(2);
        w.cmbWeir->setCurrentIndex(1);
        w.txtTableFile->setText("tables/pond.tbl");
        w.cmbFlowUnits->setCurrentIndex(3);
        w.txtFlowTop->setText("2,5");
        w.txtOffset->setText("-1.5");
        w.cmbOffsetUnits->setCurrentIndex(2);
        w.txtDiameter->setText("0.3");
        w.cmbDiameterUnits->setCurrentIndex(3);
        w.txtSlope->setText("0.02");
        w.cmbSlopeUnits->setCurrentIndex(0);
        w.cmbRoughness->setEditText("0.017");
        w.cmbVelUnits->setCurrentIndex(1);
        w.txtVelTop->setText("4");

        w.ReadSettingsFromEditor();
        const LoggerSettings& s = rig.settings;
        QCOMPARE(s.LoggerName, QString("River 4"));
        QCOMPARE(s.SensorWarmupTime, uint8_t(12));
        QCOMPARE(s.AlarmEnable[0], uint8_t(1));
        QCOMPARE(s.AlarmHour[0], int16_t(19));
        QCOMPARE(s.AlarmMin[0], int16_t(5));
        QCOMPARE(s.AlarmSec[0], int16_t(0));
        QCOMPARE(s.AlarmHour[1], int16_t(0));
        QCOMPARE(s.AlarmSec[1], int16_t(9));
        QCOMPARE(s.LoggingStyle, uint8_t(129));
        QCOMPARE(s.SampleInterval, QString("15 minutes"));
        QCOMPARE(s.Deadband, 40); // half to even
        QCOMPARE(s.DataWrapAroundFlag, uint8_t(0));
        QCOMPARE(s.FixedBaudRate, uint8_t(4));
        QCOMPARE(s.EnableSOD, uint8_t(1));
        QCOMPARE(s.AnalogEnable[1], uint8_t(0));
        QCOMPARE(s.EngUnits[1], QString("ppm"));
        QCOMPARE(s.UpperLimit[1], 12.5);
        QCOMPARE(s.LowerLimit[1], -3.0);
        QCOMPARE(s.DisplayTop[1], 20.0);
        QCOMPARE(s.DisplayBottom[1], 0.01);
        QCOMPARE(s.RawScaleUpper[1], 60000);
        QCOMPARE(s.RawScaleLower[1], 1000);
        QCOMPARE(s.DecPlaces[1], uint8_t(3));
        QCOMPARE(s.DigitalEnable[1], uint8_t(0));
        QCOMPARE(s.EngUnits[9], QString("Gallons"));
        QCOMPARE(s.PulseUnit[1], 0.25);
        QCOMPARE(s.DecPlaces[9], uint8_t(2));
        QCOMPARE(s.FlowMode, uint8_t(3));
        QCOMPARE(s.FlumeTag, QString("PF6"));
        QCOMPARE(s.WeirTag, QString("VN90"));
        QCOMPARE(s.TablePath, QString("tables/pond.tbl"));
        QCOMPARE(s.FlowUnits, uint8_t(3));
        QCOMPARE(s.FlowTop, 2.5); // commas read as points
        QCOMPARE(s.LevelOffset, -1.5);
        QCOMPARE(s.LevelOffsetType, uint8_t(2));
        QCOMPARE(s.ManningsD, 0.3);
        QCOMPARE(s.ManningsDType, uint8_t(3));
        QCOMPARE(s.ManningsS, 0.02);
        QCOMPARE(s.ManningsSType, uint8_t(0));
        QCOMPARE(s.ManningsN, 0.017);
        QCOMPARE(s.VelUnits, uint8_t(1));
        QCOMPARE(s.VelTop, 4.0);
    }

    void showsEveryFieldInItsControl()
    {
        SetupRig rig;
        LoggerSettings& s = rig.settings;
        s.LoggerName = "Tank 3";
        s.SensorWarmupTime = 7;
        s.AlarmEnable = {1, 0};
        s.AlarmHour = {15, 0};
        s.AlarmMin = {4, 30};
        s.AlarmSec = {9, 0};
        s.LoggingStyle = 130;
        s.SampleInterval = "5 hours";
        s.Deadband = 250;
        s.FixedBaudRate = 6;
        s.EngUnits[0] = "meters";
        s.UpperLimit[0] = 2.75;
        s.RawScaleUpper[0] = 50000;
        s.DecPlaces[0] = 9;
        s.PulseUnit[0] = 0.5;
        s.EngUnits[8] = "Liters";
        s.FlowMode = 2;
        s.FlumeTag = "PF3";
        s.ManningsN = 0.013;
        s.FlowTop = 12.5;
        SetupWindow& w = rig.open();
        QCOMPARE(w.txtName->text(), QString("Tank 3"));
        QCOMPARE(w.cmbWarmup->currentIndex(), 7);
        QVERIFY(w.chkAlarm[0]->isChecked());
        QVERIFY(!w.chkAlarm[1]->isChecked());
        QCOMPARE(w.txtAlarm[0]->text(), QString("3:04:09"));
        QCOMPARE(w.cmbAlarm[0]->currentText(), QString("P.M."));
        QCOMPARE(w.txtAlarm[1]->text(), QString("12:30:00"));
        QCOMPARE(w.cmbAlarm[1]->currentText(), QString("A.M."));
        QVERIFY(w.optFastMode->isChecked());
        QVERIFY(w.chkException->isChecked());
        QCOMPARE(w.txtSampleInterval->text(), QString("5"));
        QCOMPARE(w.cmbSampleInterval->currentText(), QString("hours"));
        QCOMPARE(w.txtException->text(), QString("250"));
        QCOMPARE(w.cmbBaud->currentText(), QString("Fixed 115200"));
        QCOMPARE(w.cmbEU[0]->currentText(), QString("Meters")); // the list's spelling
        QCOMPARE(w.txtHighEU[0]->text(), QString("2.75"));
        QCOMPARE(w.txtHighRaw[0]->text(), QString("50000"));
        QCOMPARE(w.cmbPrecision[0]->currentIndex(), 6);
        QCOMPARE(w.txtPulseUnit[0]->text(), QString("0.5"));
        QCOMPARE(w.cmbPulseEU[0]->currentText(), QString("Liters"));
        QVERIFY(w.optFlume->isChecked());
        QCOMPARE(w.cmbFlume->currentText(), QString("Parshall 3 in"));
        QCOMPARE(w.cmbWeir->currentIndex(), 0);
        QCOMPARE(w.cmbRoughness->currentText(), QString("0.013"));
        QCOMPARE(w.txtFlowTop->text(), QString("12.5"));
        QVERIFY(rig.prompter.messages.isEmpty());

        // What the editor normalised comes back changed, so closing asks.
        w.ReadSettingsFromEditor();
        QCOMPARE(rig.settings.DecPlaces[0], uint8_t(6));
        QCOMPARE(rig.settings.EngUnits[0], QString("Meters"));
        QVERIFY(EncodeSettings(rig.settings, true) != w.SavedImage());
    }

    void factorySettingsSurviveShowingAndReading_data()
    {
        QTest::addColumn<int>("analog");
        QTest::addColumn<int>("pulse");
        QTest::newRow("3 and 2") << 3 << 2;
        QTest::newRow("1 and 0") << 1 << 0;
        QTest::newRow("8 and 1") << 8 << 1;
    }
    void factorySettingsSurviveShowingAndReading()
    {
        QFETCH(int, analog);
        QFETCH(int, pulse);
        SetupRig rig(analog, pulse);
        SetupWindow& w = rig.open();
        const QByteArray before = w.SavedImage().value_or(QByteArray());
        QVERIFY(!before.isEmpty());
        w.ReadSettingsFromEditor();
        QCOMPARE(*EncodeSettings(rig.settings, true), before);
    }

    void channelsBeyondTheLoggerAreLeftAlone()
    {
        SetupRig rig(2, 1);
        rig.settings.EngUnits[5] = "kept";
        rig.settings.PulseUnit[1] = 7.5;
        SetupWindow& w = rig.open();
        w.cmbEU[5]->setEditText("changed");
        w.txtPulseUnit[1]->setText("1");
        w.ReadSettingsFromEditor();
        QCOMPARE(rig.settings.EngUnits[5], QString("kept"));
        QCOMPARE(rig.settings.PulseUnit[1], 7.5);
    }

    void firstChannelUnitsAreChecked_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("warned");
        QTest::newRow("capitals and blank") << "FEET " << "Feet" << false;
        QTest::newRow("centimetres") << "cm" << "cm" << false;
        QTest::newRow("ft") << "ft" << "ft" << true;
    }
    void firstChannelUnitsAreChecked()
    {
        QFETCH(QString, unit);
        QFETCH(QString, shown);
        QFETCH(bool, warned);
        SetupRig rig;
        rig.settings.EngUnits[0] = unit;
        rig.settings.FlowMode = 0; // checked whatever the flow mode
        SetupWindow& w = rig.open();
        QCOMPARE(w.cmbEU[0]->currentText(), shown);
        QCOMPARE(rig.prompter.messages.size(), warned ? 1 : 0);
        if (warned) {
            QCOMPARE(rig.prompter.messages[0].title, QString("Bad Units"));
            QCOMPARE(rig.prompter.messages[0].text, BadUnitsText);
            QCOMPARE(rig.prompter.messages[0].icon, PromptIcon::Information);
            QCOMPARE(rig.settings.EngUnits[0], unit);
            w.ShowSettingsInEditor();
            QCOMPARE(rig.prompter.messages.size(), 2);
        }
    }

    void catalogueTags_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("known") << "PF6" << 2 << "PF6";
        QTest::newRow("gone from the catalogue") << "PF9" << 0 << "";
        QTest::newRow("tags are case-sensitive") << "pf3" << 0 << "";
    }
    void catalogueTags()
    {
        QFETCH(QString, tag);
        QFETCH(int, position);
        SetupRig rig;
        rig.settings.FlumeTag = tag;
        SetupWindow& w = rig.open();
        QCOMPARE(w.cmbFlume->currentIndex(), position);
        w.ReadSettingsFromEditor();
        QTEST(rig.settings.FlumeTag, "readBack");
    }
};

BREVEL_TEST(SetupBindingTest)
#include "tst_setupbinding.moc"
