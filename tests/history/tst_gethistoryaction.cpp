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

namespace {

// Made before the port that reaches it.
struct VirtualLogger {
    LoggerEngine engine;
};

// Get History against the virtual logger in-process, over the real link,
// with a hand on the modal windows: it presses "Okay" when the upload is
// complete, noting the retries shown, and "OK" in the table, noting the rows
// it showed. Late replies are late against a reply wait of 20 ms.
struct ActionRig : VirtualLogger, LinkRig<SimSerialPort> {
    ActionRig(int recordCount, const FaultOptions& faults)
        : VirtualLogger{LoggerEngine(Options(recordCount, faults))},
          LinkRig<SimSerialPort>(engine),
          services{state, status, options.ErrorTrapping, false, settings, records, link, commands, prompter, dialogs,
                   cursor, QStringLiteral("/tmp"), [] { return HistoryTableInputs{{}, {}, QStringLiteral("Creek 4")}; }}
    {
        state.ReplyTicks = faults.LateRate > 0 ? 10 : 2;
        state.Connected = true;
        port.Open();
        QObject::connect(&hand, &QTimer::timeout, [this] { pressButtons(); });
        hand.start(10);
    }
    static LoggerOptions Options(int recordCount, const FaultOptions& faults)
    {
        LoggerOptions options;
        options.HistoryRecords = recordCount;
        options.InitialiseMs = 0;
        options.Faults = faults;
        return options;
    }
    void pressButtons()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* progress = qobject_cast<GetHistoryDataWindow*>(modal)) {
            auto* okay = progress->findChild<QPushButton*>(QStringLiteral("cmdOkay"));
            if (okay->isEnabled()) {
                const QString shown = progress->findChild<QLabel*>(QStringLiteral("lblRetries"))->text();
                retries = shown.section(u' ', 0, 0).toInt();
                okay->click();
            }
        } else if (auto* table = qobject_cast<HistoryWindow*>(modal)) {
            tableRows = table->findChild<QLabel*>(QStringLiteral("lblNumRecords"))->text().toInt();
            table->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        }
    }

    HistoryRecords records;
    RecordingPrompter prompter;
    ScriptedFileDialogs dialogs;
    NullBusyCursor cursor;
    GetHistoryServices services;
    QTimer hand;
    int tableRows = -1;
    int retries = 0;
};

} // namespace

class GetHistoryActionTest : public QObject {
    Q_OBJECT
private slots:
    // Every record the logger holds arrives once, in order, whatever the
    // line does to the bytes; the table opens on what arrived.
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
        // A third of the replies late by 1.1 to 3 times the rig's reply wait of 20 ms.
        QTest::newRow("late replies")
            << 2000 << FaultOptions{.Seed = 1, .LateRate = 0.3, .LateMinMs = 22, .LateMaxMs = 60} << "" << false;
    }
    void downloadsExactlyTheLoggersRecords()
    {
        QFETCH(int, count);
        QFETCH(FaultOptions, faults);
        QFETCH(QString, message);
        QFETCH(bool, sampling);
        ActionRig rig(count, faults);
        rig.services.SamplingContinuously = sampling;
        RunGetHistory(rig.services, nullptr);
        QCOMPARE(rig.prompter.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(rig.prompter.messages[0].title, QStringLiteral("Get History Data"));
            QCOMPARE(rig.prompter.messages[0].text, message);
        }
        const int received = message.isEmpty() && !sampling ? count : 0;
        QCOMPARE(rig.tableRows, received > 0 ? received : -1);
        // The logger's first records, in order, are exactly what arrived.
        QCOMPARE(rig.records.Count(), received);
        for (int i = 0; i < rig.records.Count(); ++i) {
            const HistoryRecord& logged = rig.engine.Memory().History.at(size_t(i));
            QCOMPARE(rig.records.PackedTime(i), logged.Time);
            for (int k = 0; k < 5; ++k) {
                QCOMPARE(rig.records.Value(i, k), logged.Values[size_t(k < 3 ? k : k + 5)]);
            }
        }
        if (received > 0) {
            QCOMPARE(rig.status.RecordCount, uint32_t(count));
            QCOMPARE(rig.retries > 0, faults.Any());
        }
        QVERIFY(!rig.state.Busy);
        QCOMPARE(rig.cursor.depth, 0);
    }
};

BREVEL_TEST(GetHistoryActionTest)
#include "tst_gethistoryaction.moc"
