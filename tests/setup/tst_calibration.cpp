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
        QTest::addColumn<QString>("messages"); // as BREVEL_COMPARE_BOXES takes them, ";" between them
        const QString factory = "100 65535 0 0";
        // Step 1 starts from the field, the raw counts from 65535 and 0 until a live reading; values keep six digits.
        QTest::newRow("finish with live readings")
            << 1 << "sample 41234, type 12.3456789, wait 41234, sample 1200, type -2, wait 1200"
            << "1 100, 2 65535, 3 0, 4 0" << "12.3457 41234 -2 1200" << "";
        QTest::newRow("back keeps what was typed")
            << 0 << "type 50, type 30000, Back, Next, type 10, Back, Back, Back, type 60, type 30001, type 11, type 900"
            << "1 100, 2 65535, 3 0, 2 30000, 3 0, 4 0, 3 10, 2 30000, 1 50, 2 30000, 3 10, 4 0" << "60 30001 11 900"
            << "";
        QTest::newRow("step 3 text, step 4 negative, Escape")
            << 0 << "type 5, type 100, type low, type 1, type -1, Escape" << "1 100, 2 65535, 3 0, 3 low, 4 0, 4 -1"
            << factory << "Bad Number|W|Value must be a floating point number in the range -999999 to 999999!;"
                          "Bad Number|W|Value must be an integer between 0 and 65535!";
        QTest::newRow("help") << 0 << "Help, Cancel" << "1 100, 1 100" << factory << "Calibrate|I|...";
        QTest::newRow("equal raw counts on finish") << 0 << "type 50, type 30000, type 10, type 30000, type 900"
            << "1 100, 2 65535, 3 0, 4 0, 4 30000" << "50 30000 10 900"
            << "Calibrate|W|Warning: the lower point's raw count equals the upper point's (30000)...";
    }
    void wizardRuns()
    {
        QFETCH(int, channel);
        QFETCH(QString, actions);
        QFETCH(QString, messages);
        SetupRig rig;
        rig.open();
        // One action per step shown: "type V" types V, "wait V" waits for the reading V, each then presses Return;
        // "sample V" makes the channel read V from now on; "Next", "Back", "Cancel", "Help" press their button.
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
                    if (verb == "type" || verb == "wait" || verb == "Escape") {
                        QTest::keyClick(wizard, verb == "Escape" ? Qt::Key_Escape : Qt::Key_Return);
                    } else {
                        wizard->findChild<QPushButton*>("cmd" + verb)->click();
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
        BREVEL_COMPARE_BOXES(rig.prompter, messages.split(';', Qt::SkipEmptyParts));
        if (actions.contains("sample 41234")) { // a raw-count step starts one sample, then reads one each tick
            QCOMPARE(rig.link.calls.mid(0, 2), QStringList({"start sample", "read sample"}));
        }
        // The record changes only when the editor is read back.
        QCOMPARE(rig.settings.RawScaleUpper[channel], 65535);
    }
};

BREVEL_TEST(CalibrationTest)
#include "tst_calibration.moc"
