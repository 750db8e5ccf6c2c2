#include "SetupRig.h"
#include "TestRegistry.h"
#include "setup/FieldChecks.h"
#include "setup/ui/FieldGuard.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace {

using Check = FieldCheck (*)(const QString&);

void ClickTab(SetupRig& rig, int index)
{
    QTabBar* bar = rig.control<QTabWidget>("TabStrip")->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

void TypeInto(SetupRig& rig, QWidget* field, const QString& text)
{
    auto* tabs = rig.control<QTabWidget>("TabStrip");
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->widget(i)->isAncestorOf(field)) {
            ClickTab(rig, i);
        }
    }
    auto* combo = qobject_cast<QComboBox*>(field);
    QTest::mouseClick(combo ? combo->lineEdit() : field, Qt::LeftButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), text);
}

} // namespace

Q_DECLARE_METATYPE(Check)

class FieldChecksTest : public QObject {
    Q_OBJECT
private slots:
    // Each check on its own; where a field is named, also typed into the setup window and left with Tab (editable
    // lists take what was typed, never a list item that starts with it).
    void checks_data()
    {
        QTest::addColumn<Check>("check");
        QTest::addColumn<QString>("field");   // the window's field, "" to check the text alone
        QTest::addColumn<QString>("inputs");  // "|" between inputs of the same outcome
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("shown");   // text afterwards; "-" when left alone
        QTest::addColumn<int>("selected");    // list item selected; -1 for none
        QTest::addColumn<QStringList>("message"); // "title|icon|text", "" for none

        const Check calibrationValue = [](const QString& text) { return CheckCalibrationValue(1, text); };
        const Check calibrationRaw = [](const QString& text) { return CheckCalibrationValue(2, text); };
        auto row = [](const char* name, Check check, const QString& input, bool accepted, const QString& shown,
                      const QString& message = {}, const char* field = "", int selected = -1) {
            QTest::newRow(name) << check << QString(field) << input << accepted << shown << selected
                                << (message.isEmpty() ? QStringList() : QStringList{message});
        };

        row("name trimmed, cut", CheckLoggerName, "  " + QString(40, 'x') + " ", true, QString(32, 'x'));
        row("alarm hour 12, minute 0 padded, second 59", CheckAlarmTime, "12:0:59", true, "12:00:59");
        row("alarm hour rounds to even", CheckAlarmTime, "2.5", true, "2:00:00");
        row("alarm hour 13 and 0", CheckAlarmTime, "13|0", false, "-",
            "Format Error|E|Alarm hour must be between 1 and 12");
        row("alarm hour 1, minute 59", CheckAlarmTime, "1:59", true, "1:59:00");
        row("alarm minute 60 and -1", CheckAlarmTime, "10:60|10:-1", false, "-",
            "Format Error|E|Alarm minute must be between 0 and 59", "txtAlarm_1");
        row("alarm second 60", CheckAlarmTime, "10:00:60", false, "-",
            "Format Error|E|Alarm second must be between 0 and 59");
        row("warmup 75 selects 60", CheckWarmup, "75", true, "-", "", "", 60);
        row("warmup negative or not a number", CheckWarmup, "-1|soon", false, "-");
        row("baud item in other case", CheckBaudRate, " fixed 9600 ", true, "Fixed 9600", "", "", 1);
        row("baud rate alone", CheckBaudRate, "19200", true, "Fixed 19200", "", "", 2);
        row("baud auto", CheckBaudRate, "Auto Baud Rate", true, "Auto Baud Rate", "", "", 0);
        row("baud not listed", CheckBaudRate, "Fixed 1234", false, "-",
            "Format Error|E|Error: baud rate must be one of the listed choices.", "cmbBaud");
        row("unit1 capitals", CheckFirstChannelUnit, "FEET ", true, "Feet", "", "", 0);
        row("unit1 m", CheckFirstChannelUnit, "m", false, "-",
            "Bad Unit|E|The first analog channel must be feet, inches, meters or cm.", "cmbEU_0");
        row("unit cut to 9", CheckUnitName, " Gallons/min ", true, "Gallons/m");
        row("unit m", CheckUnitName, "m", true, "m", "", "cmbEU_1");
        row("number above range", CheckStoredNumber, "1234567", true, "999999", "", "txtFlowTop");
        row("number below range", CheckStoredNumber, "-1000000", true, "-999999");
        row("number six digits", CheckStoredNumber, "0.1234567", true, "0.123457");
        row("number not numeric", CheckStoredNumber, "12abc", false, "-");
        row("raw above range", CheckRawCount, "70000", true, "65535");
        row("raw ties to even", CheckRawCount, "12.5", true, "12");
        row("precision 9 selects 6", CheckPrecision, "9", true, "-", "", "", 6);
        row("interval 65535", CheckSampleInterval, "65535", true, "65535");
        row("interval 0 and 65536", CheckSampleInterval, "0|65536", false, "-",
            "Format Error|E|Error: sample interval must be between 1 and 65535.");
        row("exception 0", CheckExceptionLevel, "0", true, "0");
        row("exception 65536 and text", CheckExceptionLevel, "65536|x", false, "-",
            "Format Error|E|Error: exception level must be between 0 and 65535.");
        row("roughness list item, rounded", CheckRoughness, "0.01234567 - Finished concrete", true, "0.0123457");
        row("roughness 0 or too small", CheckRoughness, "0|0.00000001", false, "0",
            "Illegal Value|E|The roughness value must be greater than zero!", "cmbRoughness");
        row("roughness word", CheckRoughness, "smooth", false, "-");
        row("calibration value six digits", calibrationValue, "12.3456789", true, "12.3457");
        row("calibration value 1000000 and word", calibrationValue, "1000000|high", false, "-",
            "Bad Number|W|Value must be a floating point number in the range -999999 to 999999!");
        row("calibration raw 65535", calibrationRaw, "65535", true, "65535");
        row("calibration raw 65536 and -1", calibrationRaw, "65536|-1", false, "-",
            "Bad Number|W|Value must be an integer between 0 and 65535!");
    }
    void checks()
    {
        QFETCH(Check, check);
        QFETCH(QString, field);
        QFETCH(QString, inputs);
        QFETCH(QString, shown);
        QFETCH(QStringList, message);
        for (const QString& input : inputs.split('|')) {
            const FieldCheck result = check(input);
            QTEST(result.Accepted, "accepted");
            QCOMPARE(result.NewText.value_or("-"), shown);
            QTEST(result.SelectIndex, "selected");
            RecordingPrompter direct; // the check's own message, as the window shows it
            if (result.Message) {
                direct.Tell(result.Message->Title, result.Message->Text, result.Message->Icon);
            }
            BREVEL_COMPARE_BOXES(direct, message);
        }
        if (field.isEmpty()) {
            return;
        }
        const QString input = inputs.section('|', 0, 0);
        SetupRig rig;
        rig.settings.AlarmEnable[1] = 1; // an alarm's time takes input once the alarm is in use
        rig.open();
        QWidget* box = rig.control(field);
        TypeInto(rig, box, input);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(FieldText(box), shown == "-" ? input : shown);
        BREVEL_COMPARE_BOXES(rig.prompter, message);
    }

    // A refused field keeps the keyboard, but in sight: its page comes back to the front with its text selected,
    // every command says why it waits, and none moves the refused value to the logger.
    void refusedFieldStaysInSight()
    {
        SetupRig rig;
        rig.open();
        auto* highRaw = rig.control<QLineEdit>("txtHighRaw_0");
        TypeInto(rig, highRaw, "abc");
        QTest::mouseClick(rig.control("txtLowRaw_0"), Qt::LeftButton);
        // Before the focus is back, the refused field is still the one checked.
        rig.control<QAction>("mnuSave")->trigger();
        QTRY_VERIFY(highRaw->hasFocus());
        ClickTab(rig, 2);
        QTRY_COMPARE(rig.control<QTabWidget>("TabStrip")->currentIndex(), 0);
        QTRY_VERIFY(highRaw->hasFocus());

        QTest::mouseClick(rig.control("cmdCalibrate_1"), Qt::LeftButton);
        rig.control<QAction>("mnuLoad")->trigger();
        QTest::mouseClick(rig.control("cmdCancel"), Qt::LeftButton);
        QTest::mouseClick(rig.control("cmdOK"), Qt::LeftButton);
        const QString refused = "Format Error|E|Error: High Raw of channel 1 must be a whole number from 0 to 65535.";
        BREVEL_COMPARE_BOXES(rig.prompter, 5, refused);
        QCOMPARE(rig.dialogs.saveRequests.size() + rig.dialogs.openRequests.size(), 0);

        QTRY_VERIFY(highRaw->hasFocus());
        QTest::keyClicks(QApplication::focusWidget(), "5");
        rig.prompter.answers = {PromptAnswer::Yes};
        QTest::mouseClick(rig.control("cmdOK"), Qt::LeftButton);
        QCOMPARE(rig.link.calls, QStringList({"program", "confirm"}));
        QCOMPARE(rig.link.programmed->RawScaleUpper[0], 5);

        // Equal raw counts give a channel no scale: Program refuses them and shows the field, unless it is not used.
        rig.prompter.messages.clear();
        TypeInto(rig, rig.control("txtLowRaw_1"), "65535");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ClickTab(rig, 2);
        QTest::mouseClick(rig.control("cmdOK"), Qt::LeftButton);
        BREVEL_COMPARE_BOXES(rig.prompter, {"Program Settings|E|Error: channel 2 has the same High Raw..."});
        QCOMPARE(rig.control<QTabWidget>("TabStrip")->currentIndex(), 0);
        QTRY_VERIFY(rig.control("txtLowRaw_1")->hasFocus());

        auto* enable = rig.control<QCheckBox>("chkEnable_1");
        QTest::mouseClick(enable, Qt::LeftButton, {}, QPoint(6, enable->height() / 2)); // on the box, not its caption
        rig.prompter.answers = {PromptAnswer::Yes};
        QTest::mouseClick(rig.control("cmdOK"), Qt::LeftButton);
        QCOMPARE(rig.link.calls, QStringList({"program", "confirm", "program", "confirm"}));
    }
};

BREVEL_TEST(FieldChecksTest)
#include "tst_fieldchecks.moc"
