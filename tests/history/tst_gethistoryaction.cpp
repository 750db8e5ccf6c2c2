#include "LoggerEngine.h"
#include "NullBusyCursor.h"
#include "RecordingPrompter.h"
#include "ScriptedFileDialogs.h"
#include "SimSerialPort.h"
#include "TestRegistry.h"
#include "config/Rating.h"
#include "history/ui/GetHistoryAction.h"
#include "history/ui/GetHistoryDataWindow.h"
#include "history/HistoryRecords.h"
#include "history/ui/HistoryWindow.h"
#include "link/LoggerCommands.h"
#include "link/LoggerLink.h"
#include "link/LoggerStatus.h"
#include "link/ReplyTicker.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

Q_DECLARE_METATYPE(PromptIcon)

namespace {

// The whole action against the virtual logger, with a hand on the modal
// windows: it presses "Okay" when the upload is complete and "OK" in the
// table, noting what the table showed.
struct ActionRig {
    explicit ActionRig(int recordCount, const FaultOptions& faults = {})
        : engine(Options(recordCount, faults)),
          port(engine),
          link(port, state, options),
          ticker(link, 0), // a tick a pass of the event loop: waits for a silent line end at once
          commands(link, status, settings, rating),
          services{state, status, options.ErrorTrapping, false, settings, records, link, commands, prompter, dialogs, cursor, QStringLiteral("/tmp"),
                   [] { return HistoryTableInputs{{}, {}, QStringLiteral("Creek 4")}; }}
    {
        state.ReplyTicks = 4;
        state.Connected = true;
        settings.AnalogEnable = {1, 1, 1, 0, 0, 0, 0, 0};
        port.open();
        ticker.start();
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
                okay->click();
            }
        } else if (auto* table = qobject_cast<HistoryWindow*>(modal)) {
            tableRows = table->findChild<QLabel*>(QStringLiteral("lblNumRecords"))->text();
            tableLogger = table->findChild<QLabel*>(QStringLiteral("lblLoggerName"))->text();
            table->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        }
    }

    ProgramOptions options;
    LinkState state;
    LoggerStatus status;
    LoggerSettings settings;
    RatingState rating;
    HistoryRecords records;
    LoggerEngine engine;
    SimSerialPort port;
    LoggerLink link;
    ReplyTicker ticker;
    LoggerCommands commands;
    RecordingPrompter prompter;
    ScriptedFileDialogs dialogs;
    NullBusyCursor cursor;
    GetHistoryServices services;
    QTimer hand;
    QString tableRows;
    QString tableLogger;
};

} // namespace

class GetHistoryActionTest : public QObject {
    Q_OBJECT
private slots:
    void downloadThenTable_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("one record") << 1;
        QTest::newRow("two blocks") << 18;
    }
    void downloadThenTable()
    {
        QFETCH(int, count);
        ActionRig rig(count);
        RunGetHistory(rig.services, nullptr);
        QVERIFY(rig.prompter.messages.isEmpty());
        QCOMPARE(rig.records.count(), count);
        QCOMPARE(rig.tableRows, QString::number(count));
        QCOMPARE(rig.tableLogger, QStringLiteral("Creek 4"));
        QCOMPARE(rig.status.RecordCount, uint32_t(count));
        QVERIFY(rig.status.LoggerTimeText.contains(u':'));
        QVERIFY(!rig.state.Busy);
        QCOMPARE(rig.cursor.depth, 0);
    }

    // The line goes dead in the third block: the error says how much
    // arrived, and the table opens on it.
    void hangUpMidDownloadStillShowsWhatArrived()
    {
        FaultOptions faults;
        faults.HangUpAfterBytes = 600; // the status reply and two blocks of 17 records
        ActionRig rig(100, faults);
        RunGetHistory(rig.services, nullptr);
        QCOMPARE(rig.prompter.messages.size(), 1);
        QCOMPARE(rig.prompter.messages[0].text,
                 QStringLiteral("Error during retrieval. Received 34 records of 100 records."));
        QCOMPARE(rig.tableRows, QStringLiteral("34"));
        QVERIFY(!rig.state.Busy);
    }

    void messagesBeforeAnyDownload_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<bool>("portOpen");
        QTest::addColumn<QString>("text");
        QTest::addColumn<PromptIcon>("icon");
        QTest::newRow("empty memory") << 0 << true << "No history in memory!" << PromptIcon::Information;
        QTest::newRow("status read fails") << 5 << false << "Error: upload not successful!" << PromptIcon::Error;
    }
    void messagesBeforeAnyDownload()
    {
        QFETCH(int, records);
        QFETCH(bool, portOpen);
        QFETCH(QString, text);
        QFETCH(PromptIcon, icon);
        ActionRig rig(records);
        if (!portOpen) {
            rig.port.close();
        }
        RunGetHistory(rig.services, nullptr);
        QCOMPARE(rig.prompter.messages.size(), 1);
        QCOMPARE(rig.prompter.messages[0].title, QStringLiteral("Get History Data"));
        QCOMPARE(rig.prompter.messages[0].text, text);
        QCOMPARE(rig.prompter.messages[0].icon, icon);
        QVERIFY(rig.tableRows.isEmpty());
        QVERIFY(!rig.state.Busy);
    }

    void runsOnlyWhenConnectedAndIdle_data()
    {
        QTest::addColumn<bool>("connected");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<bool>("sampling");
        QTest::newRow("not connected") << false << false << false;
        QTest::newRow("busy") << true << true << false;
        QTest::newRow("sampling") << true << false << true;
    }
    void runsOnlyWhenConnectedAndIdle()
    {
        QFETCH(bool, connected);
        QFETCH(bool, busy);
        QFETCH(bool, sampling);
        ActionRig rig(0);
        rig.state.Connected = connected;
        rig.state.Busy = busy;
        rig.services.samplingContinuously = sampling;
        RunGetHistory(rig.services, nullptr);
        QVERIFY(rig.prompter.messages.isEmpty());
        QCOMPARE(rig.state.Busy, busy);
    }
};

BREVEL_TEST(GetHistoryActionTest)
#include "tst_gethistoryaction.moc"
