#include "SetupRig.h"
#include "TestRegistry.h"
#include "setup/ui/FieldGuard.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

// What a user meets typing into the setup window: the keys, clicks and tab
// changes arrive as real input events.
namespace {

QTabWidget* Tabs(SetupWindow& w)
{
    return w.findChild<QTabWidget*>("TabStrip");
}

void ClickTab(SetupWindow& w, int index)
{
    QTabBar* bar = Tabs(w)->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

void ClickTabOf(SetupWindow& w, QWidget* field)
{
    for (int i = 0; i < 4; ++i) {
        if (Tabs(w)->widget(i)->isAncestorOf(field)) {
            ClickTab(w, i);
        }
    }
}

// Clicks a check box on its box, not on the blank beyond its caption.
void ClickBox(QCheckBox* box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

QLineEdit* EditorOf(QWidget* field)
{
    auto* combo = qobject_cast<QComboBox*>(field);
    return combo ? combo->lineEdit() : qobject_cast<QLineEdit*>(field);
}

// Clicks into the field, selects what it holds and types over it.
void TypeInto(QWidget* field, const QString& text)
{
    QTest::mouseClick(EditorOf(field), Qt::LeftButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), text);
}

QStringList Shown(const RecordingPrompter& prompter)
{
    QStringList shown;
    for (const auto& message : prompter.messages) {
        shown << message.title + "|" + message.text;
    }
    return shown;
}

} // namespace

// Each test has a window of its own, opened and active so that clicks move
// the focus as they do for a user.
class FieldInputTest : public QObject {
    Q_OBJECT
    std::unique_ptr<SetupRig> rig;

private slots:
    void init()
    {
        rig = std::make_unique<SetupRig>();
        SetupWindow& w = rig->open();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }
    void cleanup() { rig.reset(); }

    // Editable lists take what was typed, never a list item that starts with it.
    void typedTextIsWhatIsChecked_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("message");
        QTest::newRow("roughness 0.02") << "cmbRoughness" << "0.02" << "0.02" << "";
        QTest::newRow("roughness 0") << "cmbRoughness" << "0" << "0"
                                     << "Illegal Value|The roughness value must be greater than zero!";
        QTest::newRow("flow top beyond six digits") << "txtFlowTop" << "1234567" << "999999" << "";
        QTest::newRow("unit m") << "cmbEU_1" << "m" << "m" << "";
        QTest::newRow("pulse unit l") << "cmbPulseEU_0" << "l" << "l" << "";
        QTest::newRow("first channel unit m") << "cmbEU_0" << "m" << "m"
                                              << "Bad Unit|The first analog channel must be feet, inches, meters or cm.";
        QTest::newRow("baud rate 19200") << "cmbBaud" << "19200" << "Fixed 19200" << "";
        QTest::newRow("baud rate not listed") << "cmbBaud" << "Fixed 1234" << "Fixed 1234"
                                              << "Format Error|Error: baud rate must be one of the listed choices.";
    }
    void typedTextIsWhatIsChecked()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        SetupWindow& w = *rig->window;
        auto* box = w.findChild<QWidget*>(field);
        ClickTabOf(w, box);
        TypeInto(box, typed);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTEST(FieldText(box), "shown");
        QCOMPARE(Shown(rig->prompter), message.isEmpty() ? QStringList() : QStringList{message});
    }

    // A click on Program moves no refused value to the logger; the user is
    // told why, once, and is back in the field.
    void refusedValueIsNeverProgrammed_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("interval 0") << "txtSampleInterval" << "0"
                                    << "Format Error|Error: sample interval must be between 1 and 65535.";
        QTest::newRow("alarm hour 13") << "txtAlarm_0" << "13" << "Format Error|Alarm hour must be between 1 and 12";
        QTest::newRow("raw count abc") << "txtHighRaw_0" << "abc"
                                       << "Format Error|Error: High Raw of channel 1 must be a whole number from 0 "
                                          "to 65535.";
    }
    void refusedValueIsNeverProgrammed()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        SetupWindow& w = *rig->window;
        ClickBox(rig->control<QCheckBox>("chkAlarm_0"));
        QTRY_VERIFY(rig->control("txtAlarm_0")->isEnabled());
        auto* edit = w.findChild<QLineEdit*>(field);
        ClickTabOf(w, edit);
        TypeInto(edit, typed);
        rig->prompter.answers = {PromptAnswer::Yes};
        QTest::mouseClick(rig->control("cmdOK"), Qt::LeftButton);
        QCOMPARE(Shown(rig->prompter), QStringList{message});
        QVERIFY(rig->fake().calls.isEmpty());
        QTRY_COMPARE(edit->selectedText(), typed);
        QVERIFY(edit->hasFocus());
    }

    // The refused field keeps the keyboard, but in sight: its page comes back
    // to the front with its text selected, and every command says why it waits.
    void refusedFieldStaysInSight()
    {
        SetupWindow& w = *rig->window;
        auto* highRaw = rig->control<QLineEdit>("txtHighRaw_0");
        ClickTab(w, 0);
        TypeInto(highRaw, "abc");
        QTest::mouseClick(rig->control("txtLowRaw_0"), Qt::LeftButton);
        // Before the focus is back, the refused field is still the one checked.
        rig->control<QAction>("mnuSave")->trigger();
        QTRY_VERIFY(highRaw->hasFocus());
        QCOMPARE(highRaw->selectedText(), QString("abc"));
        ClickTab(w, 2);
        QTRY_COMPARE(Tabs(w)->currentIndex(), 0);
        QTRY_VERIFY(highRaw->hasFocus());
        QCOMPARE(highRaw->selectedText(), QString("abc"));

        QTest::mouseClick(rig->control("cmdCalibrate_1"), Qt::LeftButton);
        rig->control<QAction>("mnuLoad")->trigger();
        QTest::mouseClick(rig->control("cmdCancel"), Qt::LeftButton);
        const QString refused = "Format Error|Error: High Raw of channel 1 must be a whole number from 0 to 65535.";
        QCOMPARE(Shown(rig->prompter), QStringList(4, refused));
        QVERIFY(rig->dialogs.saveRequests.isEmpty());
        QVERIFY(rig->dialogs.openRequests.isEmpty());
        QVERIFY(w.isVisible());

        // What the user types now replaces the refused text.
        QTRY_VERIFY(highRaw->hasFocus());
        QTest::keyClicks(QApplication::focusWidget(), "5");
        rig->prompter.answers = {PromptAnswer::Yes};
        QTest::mouseClick(rig->control("cmdOK"), Qt::LeftButton);
        QCOMPARE(rig->fake().calls, QStringList({"program", "confirm"}));
        QCOMPARE(rig->fake().programmed->RawScaleUpper[0], 5);
    }

    // Two equal raw counts give a channel no scale: Program refuses them.
    void equalRawCountsAreNotProgrammed()
    {
        SetupWindow& w = *rig->window;
        ClickTab(w, 0);
        TypeInto(rig->control("txtLowRaw_1"), "65535");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ClickTab(w, 2);
        rig->prompter.answers = {PromptAnswer::Yes};
        QTest::mouseClick(rig->control("cmdOK"), Qt::LeftButton);
        QCOMPARE(rig->titles(), QStringList{"Program Settings"});
        QVERIFY(rig->prompter.messages[0].text.contains("channel 2"));
        QVERIFY(rig->fake().calls.isEmpty());
        QCOMPARE(Tabs(w)->currentIndex(), 0);
        QTRY_VERIFY(rig->control("txtLowRaw_1")->hasFocus());

        // A channel that is not used may keep them.
        ClickBox(rig->control<QCheckBox>("chkEnable_1"));
        rig->prompter.answers = {PromptAnswer::Yes};
        QTest::mouseClick(rig->control("cmdOK"), Qt::LeftButton);
        QCOMPARE(rig->fake().calls, QStringList({"program", "confirm"}));
    }
};

BREVEL_TEST(FieldInputTest)
#include "tst_fieldinput.moc"
