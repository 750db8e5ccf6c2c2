#include "LinkRig.h"
#include "LoggerEngine.h"
#include "NullBusyCursor.h"
#include "RecordingPrompter.h"
#include "ScriptedFileDialogs.h"
#include "SimSerialPort.h"
#include "TestRegistry.h"
#include "history/HistoryRecords.h"
#include "history/ui/GetHistoryAction.h"
#include "history/ui/GetHistoryDataWindow.h"
#include "history/ui/HistoryWindow.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

Q_DECLARE_METATYPE(FaultOptions)

class GetHistoryActionTest : public QObject {
    Q_OBJECT
private slots:
    // Every record the logger holds arrives once, in order, whatever the line does; the table opens on them.
    void downloadsExactlyTheLoggersRecords_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<FaultOptions>("faults");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("sampling"); // live sampling holds the line (its guard has its own tests)
        const FaultOptions clean;
        QTest::newRow("empty memory") << 0 << clean << "No history in memory!" << false;
        QTest::newRow("status read fails") << 5 << FaultOptions{.HangUpAfterBytes = 0}
                                           << "Error: upload not successful!" << false;
        QTest::newRow("waits while sampling") << 5 << clean << "" << true;
        for (int count : {1, 17, 500}) {
            QTest::addRow("%d records", count) << count << clean << "" << false;
        }
        // Each fault alone is the link's (tests/link); here all of them at once.
        QTest::newRow("faulty line") << 400
                                     << FaultOptions{.Seed = 11, .NoiseRate = 0.0003, .CorruptRate = 0.0003,
                                                     .LoseAckRate = 0.1, .LoseRequestRate = 0.1}
                                     << "" << false;
        // A third of the replies late by 1.1 to 3 times the reply wait of 20 ms (10 ticks).
        QTest::newRow("late replies")
            << 2000 << FaultOptions{.Seed = 1, .LateRate = 0.3, .LateMinMs = 22, .LateMaxMs = 60} << "" << false;
    }
    void downloadsExactlyTheLoggersRecords()
    {
        QFETCH(int, count);
        QFETCH(FaultOptions, faults);
        QFETCH(QString, message);
        QFETCH(bool, sampling);
        LoggerOptions options;
        options.HistoryRecords = count;
        options.InitialiseMs = 0;
        options.Faults = faults;
        LoggerEngine engine(options);
        LinkRig<SimSerialPort> rig(engine);
        rig.state.ReplyTicks = faults.LateRate > 0 ? 10 : 2;
        rig.state.Connected = true;
        rig.port.Open();
        HistoryRecords records;
        RecordingPrompter prompter;
        ScriptedFileDialogs dialogs;
        NullBusyCursor cursor;
        GetHistoryServices services{rig.state, rig.status, rig.options.ErrorTrapping, sampling, rig.settings, records,
                                    rig.link, rig.commands, prompter, dialogs, cursor, QStringLiteral("/tmp"),
                                    [] { return HistoryTableInputs{{}, {}, QStringLiteral("Creek 4")}; }};
        // A hand on the modal windows presses Okay once the upload ends and OK in the table, noting what they show.
        int retries = 0;
        int tableRows = -1;
        QTimer hand;
        QObject::connect(&hand, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* progress = qobject_cast<GetHistoryDataWindow*>(modal)) {
                auto* okay = progress->findChild<QPushButton*>(QStringLiteral("cmdOkay"));
                if (okay->isEnabled()) {
                    retries = progress->findChild<QLabel*>("lblRetries")->text().section(u' ', 0, 0).toInt();
                    okay->click();
                }
            } else if (auto* table = qobject_cast<HistoryWindow*>(modal)) {
                tableRows = table->findChild<QLabel*>(QStringLiteral("lblNumRecords"))->text().toInt();
                table->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
            }
        });
        hand.start(10);
        RunGetHistory(services, nullptr);
        QCOMPARE(prompter.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(prompter.messages[0].title + ": " + prompter.messages[0].text, "Get History Data: " + message);
        }
        const int received = message.isEmpty() && !sampling ? count : 0;
        QCOMPARE(tableRows, received > 0 ? received : -1);
        QCOMPARE(records.Count(), received);
        for (int i = 0; i < records.Count(); ++i) {
            const HistoryRecord& logged = engine.Memory().History.at(size_t(i));
            QCOMPARE(records.PackedTime(i), logged.Time);
            for (int k = 0; k < 5; ++k) {
                QCOMPARE(records.Value(i, k), logged.Values[size_t(k < 3 ? k : k + 5)]);
            }
        }
        QCOMPARE(retries > 0, received > 0 && faults.Any());
        QCOMPARE(cursor.depth, 0);
    }
};

BREVEL_TEST(GetHistoryActionTest)
#include "tst_gethistoryaction.moc"
