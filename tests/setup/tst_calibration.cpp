#include "SetupRig.h"
#include "TestRegistry.h"
#include "setup/ui/CalibrationWizard.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// Plays the user at the modal wizard, one action per step shown:
//   "type V"   types V and presses Next      "next", "back", "cancel", "help"
//   "wait V"   waits for the reading V, then presses Next
//   "sample V" makes the logger's channel read V from now on (no step of its own)
// It records each step shown as "step value".
class WizardScript : public QObject {
public:
    WizardScript(QStringList actions, FakeSetupLink& link, int channel)
        : actions_(std::move(actions)), link_(link), channel_(channel)
    {
        connect(&poll_, &QTimer::timeout, this, &WizardScript::Poll);
        poll_.start(5);
    }

    QStringList seen;

private:
    void Poll()
    {
        auto* wizard = qobject_cast<CalibrationWizard*>(QApplication::activeModalWidget());
        if (wizard == nullptr || !wizard->isVisible()) {
            return;
        }
        if (!pending_) {
            seen << QString("%1 %2").arg(int(wizard->CurrentStep())).arg(wizard->Value());
            pending_ = true;
        }
        while (pending_ && !actions_.isEmpty()) {
            const QString verb = actions_.first().section(' ', 0, 0);
            const QString value = actions_.first().section(' ', 1);
            if (verb == "sample") {
                link_.sample = LiveSample();
                link_.sample->Values.fill(-1);
                link_.sample->Values[channel_] = value.toInt();
            } else if (verb == "wait" && wizard->Value() != value) {
                return;
            } else {
                if (verb == "type") {
                    wizard->findChild<QLineEdit*>("txtCalibrate")->setText(value);
                }
                const QString button = verb == "type" || verb == "wait" ? "next" : verb;
                if (verb == "escape") {
                    QTest::keyClick(wizard, Qt::Key_Escape);
                } else {
                    wizard->findChild<QPushButton*>("cmd" + button.left(1).toUpper() + button.mid(1))->click();
                }
                pending_ = false; // a refused value or Help shows the same step again
            }
            actions_.removeFirst();
        }
    }

    QStringList actions_;
    FakeSetupLink& link_;
    const int channel_;
    QTimer poll_;
    bool pending_ = false;
};

} // namespace

class CalibrationTest : public QObject {
    Q_OBJECT
private slots:
    void wizardRuns_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("actions"); // ", " between them
        QTest::addColumn<QString>("seen");
        QTest::addColumn<QString>("fields");  // High EU, High Raw, Low EU, Low Raw afterwards
        QTest::addColumn<QString>("message"); // "title|icon|start of text", the icon by its initial; "" for none
        const QString factory = "100 65535 0 0";
        const QString floating = "Bad Number|W|Value must be a floating point number in the range -999999 to 999999!";
        const QString integer = "Bad Number|W|Value must be an integer between 0 and 65535!";
        // The upper value starts from the channel's field, the raw counts from 65535 and 0
        // until the first live reading; values are kept to the logger's six digits.
        QTest::newRow("finish with live readings")
            << 1 << "sample 41234, type 12.3456789, wait 41234, sample 1200, type -2, wait 1200"
            << "1 100, 2 65535, 3 0, 4 0" << "12.3457 41234 -2 1200" << "";
        QTest::newRow("back keeps what was typed")
            << 0 << "type 50, type 30000, back, next, type 10, back, back, back, type 60, type 30001, type 11, type 900"
            << "1 100, 2 65535, 3 0, 2 30000, 3 0, 4 0, 3 10, 2 30000, 1 50, 2 30000, 3 10, 4 0" << "60 30001 11 900"
            << "";
        QTest::newRow("Escape cancels") << 1 << "type 5, escape" << "1 100, 2 65535" << factory << "";
        QTest::newRow("step 3 text") << 0 << "type 5, type 100, type low, cancel" << "1 100, 2 65535, 3 0, 3 low"
                                     << factory << floating;
        QTest::newRow("step 4 negative, then cancel") << 0 << "type 5, type 100, type 1, type -1, cancel"
                                         << "1 100, 2 65535, 3 0, 4 0, 4 -1" << factory << integer;
        QTest::newRow("help") << 0 << "help, cancel" << "1 100, 1 100" << factory << "Calibrate|I|";
        QTest::newRow("equal raw counts on finish")
            << 0 << "type 50, type 30000, type 10, type 30000, type 900" << "1 100, 2 65535, 3 0, 4 0, 4 30000"
            << "50 30000 10 900" << "Calibrate|W|Warning: the lower point's raw count equals the upper point's (30000)";
    }
    void wizardRuns()
    {
        QFETCH(int, channel);
        QFETCH(QString, actions);
        QFETCH(QString, message);
        SetupRig rig;
        rig.open();
        WizardScript script(actions.split(", "), rig.link, channel);
        rig.control<QPushButton>(QString("cmdCalibrate_%1").arg(channel))->click();
        QTEST(script.seen.join(", "), "seen");
        QStringList fields;
        for (const char* name : {"txtHighEU", "txtHighRaw", "txtLowEU", "txtLowRaw"}) {
            fields << rig.control<QLineEdit>(QString("%1_%2").arg(name).arg(channel))->text();
        }
        QTEST(fields.join(' '), "fields");
        QStringList shown;
        for (const auto& m : rig.prompter.messages) {
            shown << (m.title + "|" + QString("NIQWE")[int(m.icon)] + "|" + m.text).left(message.size());
        }
        QCOMPARE(shown, message.isEmpty() ? QStringList() : QStringList{message});
        if (actions.contains("sample 41234")) { // a raw-count step starts one sample, then reads one each tick
            QCOMPARE(rig.link.calls.mid(0, 2), QStringList({"start sample", "read sample"}));
        }
        QVERIFY(!rig.state.Busy);
        // The record changes only when the editor is read back.
        QCOMPARE(rig.settings.RawScaleUpper[channel], 65535);
    }
};

BREVEL_TEST(CalibrationTest)
#include "tst_calibration.moc"
