#include "LoggerEngine.h"
#include "SimSerialPort.h"
#include "TestRegistry.h"
#include "history/HistoryDownload.h"
#include "history/HistoryRecords.h"
#include "history/LinkHistoryBlocks.h"
#include "link/LoggerLink.h"
#include "link/ReplyTicker.h"

#include <QTest>

Q_DECLARE_METATYPE(FaultOptions)

namespace {

// The download over the real link, against the virtual logger in-process.
// The reply ticks run every 5 ms so that retry pauses stay short.
struct SimRig {
    SimRig(int recordCount, const FaultOptions& faults)
        : engine(Options(recordCount, faults)), port(engine), link(port, state, options), ticker(link, 5)
    {
        state.ReplyTicks = 4;
        port.open();
        ticker.start();
    }
    static LoggerOptions Options(int recordCount, const FaultOptions& faults)
    {
        LoggerOptions options;
        options.HistoryRecords = recordCount;
        options.InitialiseMs = 0;
        options.Faults = faults;
        return options;
    }
    // The logger's own records, in order, are exactly what arrived.
    bool holdsTheLoggersRecords(const HistoryRecords& records, int expected) const
    {
        const auto& history = engine.memory().History;
        if (records.count() != expected || int(history.size()) < expected) {
            return false;
        }
        for (int i = 0; i < expected; ++i) {
            const HistoryRecord& logged = history[size_t(i)];
            if (records.packedTime(i) != logged.Time) {
                return false;
            }
            for (int k = 0; k < 3; ++k) {
                if (records.value(i, k) != logged.Values[size_t(k)]) {
                    return false;
                }
            }
            for (int p = 0; p < 2; ++p) {
                if (records.value(i, 3 + p) != logged.Values[size_t(8 + p)]) {
                    return false;
                }
            }
        }
        return true;
    }

    ProgramOptions options;
    LinkState state;
    LoggerEngine engine;
    SimSerialPort port;
    LoggerLink link;
    ReplyTicker ticker;
};

FaultOptions Faults(double noise, double lostRequests, double corrupt, double lostAcks, uint32_t seed)
{
    FaultOptions faults;
    faults.Seed = seed;
    faults.NoiseRate = noise;
    faults.LoseRequestRate = lostRequests;
    faults.CorruptRate = corrupt;
    faults.LoseAckRate = lostAcks;
    return faults;
}

// A share of replies late by 1.1 to 3 times the rig's reply wait of 20 ms.
FaultOptions Late(double rate, uint32_t seed)
{
    FaultOptions faults;
    faults.Seed = seed;
    faults.LateRate = rate;
    faults.LateMinMs = 22;
    faults.LateMaxMs = 60;
    return faults;
}

} // namespace

class HistoryEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void downloadsExactlyTheLoggersRecords_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<FaultOptions>("faults");
        const FaultOptions clean;
        for (int count : {0, 1, 16, 17, 18, 500}) {
            QTest::addRow("%d records", count) << count << clean;
        }
        QTest::newRow("dropped requests") << 400 << Faults(0, 0.25, 0, 0, 7);
        QTest::newRow("lost acknowledgements") << 400 << Faults(0, 0, 0, 0.2, 8);
        QTest::newRow("noise") << 400 << Faults(0.0005, 0, 0, 0, 9);
        QTest::newRow("corrupted replies") << 400 << Faults(0, 0, 0.0005, 0, 10);
        QTest::newRow("everything") << 400 << Faults(0.0003, 0.1, 0.0003, 0.1, 11);
        for (uint32_t seed : {1, 2, 3}) {
            QTest::addRow("late replies, seed %u", seed) << 2000 << Late(0.3, seed);
        }
    }
    void downloadsExactlyTheLoggersRecords()
    {
        QFETCH(int, count);
        QFETCH(FaultOptions, faults);
        SimRig rig(count, faults);
        HistoryRecords records;
        LinkHistoryBlocks blocks(rig.link);
        HistoryDownload download(blocks, records, 3, 2);
        QCOMPARE(download.run(), HistoryDownloadEnd::Complete);
        QVERIFY(rig.holdsTheLoggersRecords(records, count));
        if (faults.any()) {
            QVERIFY(download.totalRetries() > 0);
        }
    }
};

BREVEL_TEST(HistoryEndToEndTest)
#include "tst_historyendtoend.moc"
