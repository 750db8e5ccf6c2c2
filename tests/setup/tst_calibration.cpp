#include "SetupRig.h"
#include "TestRegistry.h"
#include "WizardScript.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

using Action = WizardScript::Action;

Action Type(const QString& text, const char* button = "cmdNext")
{
    return [text, button](CalibrationWizard& w) {
        w.txtCalibrate->setText(text);
        w.findChild<QPushButton*>(button)->click();
        return true;
    };
}

Action Press(const char* button)
{
    return [button](CalibrationWizard& w) {
        w.findChild<QPushButton*>(button)->click();
        return true;
    };
}

// Waits for the live reading, then presses Next.
Action NextWhenReading(const QString& raw)
{
    return [raw](CalibrationWizard& w) {
        if (w.txtCalibrate->text() != raw) {
            return false;
        }
        w.cmdNext->click();
        return true;
    };
}

LiveSample SampleWithChannel(int channel, int raw)
{
    LiveSample sample;
    sample.Values.fill(-1);
    sample.Values[channel] = raw;
    return sample;
}

struct Fields {
    QString highEU, highRaw, lowEU, lowRaw;
};

Fields FieldsOf(const SetupWindow& w, int c)
{
    auto text = [&](const char* name) { return w.findChild<QLineEdit*>(QString("%1_%2").arg(name).arg(c))->text(); };
    return {text("txtHighEU"), text("txtHighRaw"), text("txtLowEU"), text("txtLowRaw")};
}

void Calibrate(SetupRig& rig, int c)
{
    rig.control<QPushButton>(QString("cmdCalibrate_%1").arg(c))->click();
}

} // namespace

class CalibrationTest : public QObject {
    Q_OBJECT
private slots:
    void finishWritesTheFourFields()
    {
        SetupRig rig;
        rig.fake().sample = SampleWithChannel(1, 41234);
        SetupWindow& w = rig.open();
        WizardScript script({Type("12.3456789"), NextWhenReading("41234"),
                             [&](CalibrationWizard& wz) {
                                 rig.fake().sample = SampleWithChannel(1, 1200); // the sensor moves down
                                 return Type("-2")(wz);
                             },
                             NextWhenReading("1200")});
        Calibrate(rig, 1);
        QCOMPARE(script.stepsSeen, QList<int>({1, 2, 3, 4}));
        // The upper value starts from the channel's field, the raw counts from 65535 and 0.
        QCOMPARE(script.textsSeen, QList<QString>({"100", "65535", "0", "0"}));
        const Fields f = FieldsOf(w, 1);
        QCOMPARE(f.highEU, QString("12.3457"));
        QCOMPARE(f.highRaw, QString("41234"));
        QCOMPARE(f.lowEU, QString("-2"));
        QCOMPARE(f.lowRaw, QString("1200"));
        QVERIFY(!rig.state.Busy);
        // A raw-count step starts one sample, then reads one each tick.
        QCOMPARE(rig.fake().calls.first(), QString("start sample"));
        QVERIFY(rig.fake().calls.contains("read sample"));
        // The record changes only when the editor is read back.
        QCOMPARE(rig.settings.RawScaleUpper[1], 65535);
    }

    void backKeepsWhatWasTyped()
    {
        SetupRig rig;
        SetupWindow& w = rig.open();
        QString nextCaption;
        WizardScript script({Type("50"), Type("30000"), Press("cmdBack"), Press("cmdNext"), Type("10"),
                             Press("cmdBack"),
                             [&](CalibrationWizard& wz) {
                                 nextCaption = wz.cmdNext->text();
                                 wz.cmdBack->click();
                                 return true;
                             },
                             Press("cmdBack"), Type("60"), Type("30001"), Type("11"), Type("900")});
        Calibrate(rig, 0);
        QCOMPARE(script.stepsSeen, QList<int>({1, 2, 3, 2, 3, 4, 3, 2, 1, 2, 3, 4}));
        QCOMPARE(script.textsSeen,
                 QList<QString>({"100", "65535", "0", "30000", "0", "0", "10", "30000", "50", "30000", "10", "0"}));
        QCOMPARE(nextCaption, QString("Next"));
        const Fields f = FieldsOf(w, 0);
        QCOMPARE(f.highEU, QString("60"));
        QCOMPARE(f.highRaw, QString("30001"));
        QCOMPARE(f.lowEU, QString("11"));
        QCOMPARE(f.lowRaw, QString("900"));
    }

    void cancelChangesNothing_data()
    {
        QTest::addColumn<int>("cancelAt");
        for (int step = 1; step <= 4; ++step) {
            QTest::newRow(qPrintable(QString("step %1").arg(step))) << step;
        }
    }
    void cancelChangesNothing()
    {
        QFETCH(int, cancelAt);
        SetupRig rig;
        SetupWindow& w = rig.open();
        const Fields before = FieldsOf(w, 2);
        QList<Action> actions{Type("5"), Type("100"), Type("1"), Type("2")};
        actions[cancelAt - 1] = Press("cmdCancel");
        WizardScript script(actions.mid(0, cancelAt));
        Calibrate(rig, 2);
        QCOMPARE(script.stepsSeen.size(), cancelAt);
        const Fields after = FieldsOf(w, 2);
        QCOMPARE(after.highEU, before.highEU);
        QCOMPARE(after.highRaw, before.highRaw);
        QCOMPARE(after.lowEU, before.lowEU);
        QCOMPARE(after.lowRaw, before.lowRaw);
        QVERIFY(!rig.state.Busy);
    }

    void badValuesAreRefused_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        const QString floating = "Value must be a floating point number in the range -999999 to 999999!";
        const QString integer = "Value must be an integer between 0 and 65535!";
        QTest::newRow("step 1 too big") << 1 << "1000000" << floating;
        QTest::newRow("step 1 text") << 1 << "high" << floating;
        QTest::newRow("step 2 too big") << 2 << "65536" << integer;
        QTest::newRow("step 4 negative") << 4 << "-1" << integer;
    }
    void badValuesAreRefused()
    {
        QFETCH(int, step);
        QFETCH(QString, value);
        QFETCH(QString, message);
        SetupRig rig;
        rig.open();
        const QList<Action> valid{Type("5"), Type("100"), Type("1")};
        WizardScript script(valid.mid(0, step - 1) + QList<Action>{Type(value), Press("cmdCancel")});
        Calibrate(rig, 0);
        QCOMPARE(rig.titles(), QStringList({"Bad Number"}));
        QCOMPARE(rig.prompter.messages[0].text, message);
        QCOMPARE(rig.prompter.messages[0].icon, PromptIcon::Warning);
        // The refused value kept the wizard at its step.
        QCOMPARE(script.stepsSeen.last(), step);
        QCOMPARE(script.stepsSeen.size(), step + 1);
    }

    void wizardCaptionPromptsAndHelp()
    {
        SetupRig rig;
        rig.open();
        QString caption;
        QStringList prompts;
        auto look = [&](CalibrationWizard& wz) {
            caption = wz.windowTitle();
            prompts << wz.lblCalibrate->text();
            wz.cmdNext->click();
            return true;
        };
        WizardScript script({[&](CalibrationWizard& wz) {
                                 wz.cmdHelp->click();
                                 return look(wz);
                             },
                             look, look, [&](CalibrationWizard& wz) {
                                 prompts << wz.lblCalibrate->text() << wz.cmdNext->text();
                                 wz.cmdCancel->click();
                                 return true;
                             }});
        Calibrate(rig, 0);
        QCOMPARE(caption, QString("Calibrate Channel 1 (Feet)"));
        QCOMPARE(prompts, QStringList({"Enter the highest value in engineering units:",
                                       "Press Next when the value is settled:",
                                       "Enter the lowest value in engineering units:",
                                       "Press Finish when the value is settled:", "Finish"}));
        // Help explains the four steps while the wizard stays at its step.
        QCOMPARE(rig.titles(), QStringList({"Calibrate"}));
        QCOMPARE(rig.prompter.messages[0].icon, PromptIcon::Information);
        QVERIFY(rig.prompter.messages[0].text.contains("Finish"));
        QCOMPARE(script.stepsSeen, QList<int>({1, 2, 3, 4}));
    }

    // Two equal raw counts would give the channel no scale: Finish warns and
    // the last step stays open for another reading.
    void equalRawCountsAreRefusedOnFinish()
    {
        SetupRig rig;
        SetupWindow& w = rig.open();
        WizardScript script({Type("50"), Type("30000"), Type("10"), Type("30000"), Type("900")});
        Calibrate(rig, 0);
        QCOMPARE(script.stepsSeen, QList<int>({1, 2, 3, 4, 4}));
        QCOMPARE(rig.titles(), QStringList({"Calibrate"}));
        QCOMPARE(rig.prompter.messages[0].icon, PromptIcon::Warning);
        QVERIFY(rig.prompter.messages[0].text.contains("30000"));
        QCOMPARE(FieldsOf(w, 0).lowRaw, QString("900"));
    }
};

BREVEL_TEST(CalibrationTest)
#include "tst_calibration.moc"
