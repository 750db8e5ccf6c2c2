#include "SetupRig.h"
#include "TestRegistry.h"
#include "setup/ui/CalibrationWizard.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class CalibrationTest : public QObject {
    Q_OBJECT
private slots:
    void wizardRuns_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("actions"); // ", " between them, as wizardRuns plays them
        QTest::addColumn<QString>("seen");
        QTest::addColumn<QString>("fields");  // High EU, High Raw, Low EU, Low Raw afterwards
        QTest::addColumn<QString>("message"); // as BREVEL_COMPARE_BOXES takes it, "" for none
        const QString factory = "100 65535 0 0";
        const QString floating = "Bad Number|W|Value must be a floating point number in the range -999999 to 999999!";
        const QString integer = "Bad Number|W|Value must be an integer between 0 and 65535!";
        // Step 1 starts from the field, the raw counts from 65535 and 0 until a live reading; values keep six digits.
        QTest::newRow("finish with live readings")
            << 1 << "sample 41234, type 12.3456789, wait 41234, sample 1200, type -2, wait 1200"
            << "1 100, 2 65535, 3 0, 4 0" << "12.3457 41234 -2 1200" << "";
        QTest::newRow("back keeps what was typed")
            << 0 << "type 50, type 30000, Back, Next, type 10, Back, Back, Back, type 60, type 30001, type 11, type 900"
            << "1 100, 2 65535, 3 0, 2 30000, 3 0, 4 0, 3 10, 2 30000, 1 50, 2 30000, 3 10, 4 0" << "60 30001 11 900"
            << "";
        QTest::newRow("Escape cancels") << 1 << "type 5, Escape" << "1 100, 2 65535" << factory << "";
        QTest::newRow("step 3 text") << 0 << "type 5, type 100, type low, Cancel" << "1 100, 2 65535, 3 0, 3 low"
                                     << factory << floating;
        QTest::newRow("step 4 negative, then cancel") << 0 << "type 5, type 100, type 1, type -1, Cancel"
                                         << "1 100, 2 65535, 3 0, 4 0, 4 -1" << factory << integer;
        QTest::newRow("help") << 0 << "Help, Cancel" << "1 100, 1 100" << factory << "Calibrate|I|...";
        QTest::newRow("equal raw counts on finish") << 0 << "type 50, type 30000, type 10, type 30000, type 900"
            << "1 100, 2 65535, 3 0, 4 0, 4 30000" << "50 30000 10 900"
            << "Calibrate|W|Warning: the lower point's raw count equals the upper point's (30000)...";
    }
    void wizardRuns()
    {
        QFETCH(int, channel);
        QFETCH(QString, actions);
        QFETCH(QString, message);
        SetupRig rig;
        rig.open();
        // Plays the user at the modal wizard, one action per step shown: "type V" types V and presses Next, "wait V"
        // waits for the reading V and presses Next, "sample V" makes the channel read V from now on (no step of its
        // own); "Next", "Back", "Cancel", "Help" press their button, "Escape" its key. Records each step shown.
        QStringList todo = actions.split(", ");
        QStringList seen;
        bool pending = false; // the step shown is recorded, its action not yet done
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* wizard = qobject_cast<CalibrationWizard*>(QApplication::activeModalWidget());
            if (wizard == nullptr || !wizard->isVisible()) {
                return;
            }
            if (!pending) {
                seen << QString("%1 %2").arg(int(wizard->CurrentStep())).arg(wizard->Value());
                pending = true;
            }
            while (pending && !todo.isEmpty()) {
                const QString verb = todo.first().section(' ', 0, 0);
                const QString value = todo.first().section(' ', 1);
                if (verb == "sample") {
                    rig.link.sample.emplace().Values.fill(-1);
                    rig.link.sample->Values[channel] = value.toInt();
                } else if (verb == "wait" && wizard->Value() != value) {
                    return;
                } else {
                    if (verb == "type") {
                        wizard->findChild<QLineEdit*>("txtCalibrate")->setText(value);
                    }
                    const QString button = verb == "type" || verb == "wait" ? "Next" : verb;
                    if (verb == "Escape") {
                        QTest::keyClick(wizard, Qt::Key_Escape);
                    } else {
                        wizard->findChild<QPushButton*>("cmd" + button)->click();
                    }
                    pending = false; // a refused value or Help shows the same step again
                }
                todo.removeFirst();
            }
        });
        poll.start(5);
        rig.control<QPushButton>(QString("cmdCalibrate_%1").arg(channel))->click();
        QTEST(seen.join(", "), "seen");
        QStringList fields;
        for (const char* name : {"txtHighEU", "txtHighRaw", "txtLowEU", "txtLowRaw"}) {
            fields << rig.control<QLineEdit>(QString("%1_%2").arg(name).arg(channel))->text();
        }
        QTEST(fields.join(' '), "fields");
        BREVEL_COMPARE_BOXES(rig.prompter, message.isEmpty() ? QStringList() : QStringList{message});
        if (actions.contains("sample 41234")) { // a raw-count step starts one sample, then reads one each tick
            QCOMPARE(rig.link.calls.mid(0, 2), QStringList({"start sample", "read sample"}));
        }
        // The record changes only when the editor is read back.
        QCOMPARE(rig.settings.RawScaleUpper[channel], 65535);
    }
};

BREVEL_TEST(CalibrationTest)
#include "tst_calibration.moc"
