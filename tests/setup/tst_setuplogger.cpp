#include "LoggerEngine.h"
#include "SetupRig.h"
#include "SimSerialPort.h"
#include "TestRegistry.h"
#include "WizardScript.h"
#include "config/SettingsImage.h"
#include "link/LoggerCommands.h"
#include "link/LoggerLink.h"
#include "link/LoggerStatus.h"
#include "link/ReplyTicker.h"
#include "setup/LoggerSetupLink.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

LoggerOptions QuickLogger()
{
    LoggerOptions options;
    options.HistoryRecords = 0;
    options.InitialiseMs = 0;
    return options;
}

// The setup window over a virtual logger in this process, opened as the
// main window opens it: after a settings read, the line free.
struct LoggerRig {
    LoggerEngine engine{QuickLogger()};
    SimSerialPort port{engine};
    SetupRig rig;
    LoggerStatus status;
    LoggerLink link{port, rig.state, rig.options};
    ReplyTicker ticker{link};
    LoggerCommands commands{link, status, rig.settings, rig.rating};
    LoggerSetupLink setupLink{commands};

    LoggerRig()
    {
        ticker.start();
        rig.state.ReplyTicks = 10;
        rig.link = &setupLink;
    }

    bool connect()
    {
        if (!link.OpenPort(1, QStringLiteral("38400,N,8,1")) || !commands.ReadIdentification() ||
            !commands.ReadSettings()) {
            return false;
        }
        rig.state.Connected = true;
        return true;
    }

    // What the logger holds now, read by a second record.
    LoggerSettings readBack()
    {
        LoggerSettings stored = rig.settings;
        RatingState rating;
        LoggerCommands reader(link, status, stored, rating);
        return reader.ReadSettings() ? stored : LoggerSettings{};
    }
};

} // namespace

class SetupLoggerTest : public QObject {
    Q_OBJECT
private slots:
    void editsOnEveryPageReachTheLogger()
    {
        LoggerRig l;
        QVERIFY(l.connect());
        SetupWindow& w = l.rig.open();
        w.txtHighEU[1]->setText("55.5");
        w.txtLowRaw[2]->setText("1200");
        w.txtPulseUnit[0]->setText("0.25");
        w.cmbPulseEU[1]->setEditText("Gallons");
        w.txtName->setText("Creek 9");
        w.cmbWarmup->setCurrentIndex(10);
        w.txtSampleInterval->setText("15");
        w.cmbSampleInterval->setCurrentIndex(1);
        w.chkAlarm[1]->setChecked(true);
        w.txtAlarm[1]->setText("6:30:00");
        w.cmbAlarm[1]->setCurrentIndex(1);
        w.optTable->setChecked(true);
        w.txtTableFile->setText("pond.tbl");
        w.cmbFlowUnits->setCurrentIndex(4);
        l.rig.prompter.answers = {PromptAnswer::Yes};
        w.cmdOK->click();
        QCOMPARE(l.rig.titles(), QStringList({"Program Settings"}));
        QVERIFY(!l.rig.state.Busy);

        const LoggerSettings stored = l.readBack();
        QCOMPARE(stored.UpperLimit[1], 55.5);
        QCOMPARE(stored.RawScaleLower[2], 1200);
        QCOMPARE(stored.PulseUnit[0], 0.25);
        QCOMPARE(stored.EngUnits[9], QString("Gallons"));
        QCOMPARE(stored.LoggerName, QString("Creek 9"));
        QCOMPARE(stored.SensorWarmupTime, uint8_t(10));
        QCOMPARE(stored.SampleInterval, QString("15 minutes"));
        QCOMPARE(stored.AlarmEnable[1], uint8_t(1));
        QCOMPARE(stored.AlarmHour[1], int16_t(18));
        QCOMPARE(stored.AlarmMin[1], int16_t(30));
        QCOMPARE(stored.FlowMode, uint8_t(4));
        QCOMPARE(stored.TablePath, QString("pond.tbl"));
        QCOMPARE(stored.FlowUnits, uint8_t(4));
        QCOMPARE(EncodeSettings(stored, true), w.LoggerImage());

        // Programmed: closing asks about the file only.
        l.rig.prompter.answers = {PromptAnswer::No};
        QVERIFY(w.close());
        QCOMPARE(l.rig.prompter.messages.size(), 2);
        QVERIFY(!l.rig.state.Busy);
    }

    void aLostLoggerIsReportedAndNothingCountsAsProgrammed()
    {
        LoggerRig l;
        QVERIFY(l.connect());
        SetupWindow& w = l.rig.open();
        const auto before = w.LoggerImage();
        w.txtName->setText("Lost 1");
        l.port.pullCable();
        l.rig.prompter.answers = {PromptAnswer::Yes};
        w.cmdOK->click();
        QCOMPARE(l.rig.titles(), QStringList({"Program Settings", "Program Settings"}));
        QCOMPARE(l.rig.prompter.messages[1].text, QString("Error: programming not completed successfully."));
        QCOMPARE(w.LoggerImage(), before);
        QVERIFY(!l.rig.state.Busy);
        QVERIFY(w.cmdCancel->isEnabled());
    }

    void closingQuestionProgramsTheLogger()
    {
        LoggerRig l;
        QVERIFY(l.connect());
        SetupWindow& w = l.rig.open();
        w.txtName->setText("Weir 2");
        l.rig.prompter.answers = {PromptAnswer::No, PromptAnswer::Yes};
        QVERIFY(w.close());
        QCOMPARE(l.rig.prompter.messages.size(), 2);
        QCOMPARE(l.readBack().LoggerName, QString("Weir 2"));
    }

    void calibrationReadsTheLiveRawCount()
    {
        LoggerRig l;
        QVERIFY(l.connect());
        l.engine.setLiveAnalogCount(1, 43210);
        SetupWindow& w = l.rig.open();
        auto nextWhen = [](const QString& raw) {
            return [raw](CalibrationWizard& wz) {
                if (wz.txtCalibrate->text() != raw) {
                    return false;
                }
                wz.cmdNext->click();
                return true;
            };
        };
        auto type = [](const QString& text) {
            return [text](CalibrationWizard& wz) {
                wz.txtCalibrate->setText(text);
                wz.cmdNext->click();
                return true;
            };
        };
        bool changedLive = false;
        WizardScript script({type("80"), nextWhen("43210"), type("5"), [&](CalibrationWizard& wz) {
                                 if (!changedLive) {
                                     l.engine.setLiveAnalogCount(1, 2100);
                                     changedLive = true;
                                 }
                                 return nextWhen("2100")(wz);
                             }});
        w.cmdCalibrate[1]->click();
        QCOMPARE(w.txtHighEU[1]->text(), QString("80"));
        QCOMPARE(w.txtHighRaw[1]->text(), QString("43210"));
        QCOMPARE(w.txtLowEU[1]->text(), QString("5"));
        QCOMPARE(w.txtLowRaw[1]->text(), QString("2100"));
        QVERIFY(!l.rig.state.Busy);
    }
};

BREVEL_TEST(SetupLoggerTest)
#include "tst_setuplogger.moc"
