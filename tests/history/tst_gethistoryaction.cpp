#include "LoggerEngine.h"
#include "NullBusyCursor.h"
#include "RecordingPrompter.h"
#include "ScriptedFileDialogs.h"
#include "SimSerialPort.h"
#include "TestRegistry.h"
#include "config/Rating.h"
#include "history/ui/GetHistoryAction.h"
#include "history/HistoryRecords.h"
#include "link/LoggerCommands.h"
#include "link/LoggerLink.h"
#include "link/LoggerStatus.h"
#include "link/ReplyTicker.h"

#include <QTest>

Q_DECLARE_METATYPE(PromptIcon)

namespace {

// The action against the virtual logger, where it ends before any window.
struct ActionRig {
    explicit ActionRig(int recordCount)
        : engine(Options(recordCount)),
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
    }
    static LoggerOptions Options(int recordCount)
    {
        LoggerOptions options;
        options.HistoryRecords = recordCount;
        options.InitialiseMs = 0;
        return options;
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
};

} // namespace

class GetHistoryActionTest : public QObject {
    Q_OBJECT
private slots:
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
