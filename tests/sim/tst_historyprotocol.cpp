#include "LoggerEngine.h"
#include "ReplyFrames.h"
#include "TestRegistry.h"
#include "core/SampleRecord.h"
#include "link/FrameCodec.h"

#include <QTest>

namespace {

const QDateTime FixedNow(QDate(2026, 12, 5), QTime(20, 7, 3));

// The block payload, or empty when the reply is not an acknowledged frame.
QByteArray AskBlock(LoggerEngine& engine, int kind)
{
    return AckedFramePayload(JoinReply(engine.receive(BuildFrame(QByteArray::fromHex("0D") + char(kind)))));
}

} // namespace

class HistoryProtocolTest : public QObject {
    Q_OBJECT
private slots:
    // The download loop: block 0 first, then 1 until a block is short or empty.
    void blocksEndWhereTheDownloadExpects_data()
    {
        QTest::addColumn<int>("analog");
        QTest::addColumn<int>("pulse");
        QTest::addColumn<int>("records");
        QTest::addColumn<QList<int>>("blockCounts");
        QTest::newRow("none") << 3 << 2 << 0 << QList<int>{0};
        QTest::newRow("one") << 3 << 2 << 1 << QList<int>{1};
        QTest::newRow("16: one short block") << 3 << 2 << 16 << QList<int>{16};
        QTest::newRow("17: a full block, then an empty one") << 3 << 2 << 17 << QList<int>{17, 0};
        QTest::newRow("18") << 3 << 2 << 18 << QList<int>{17, 1};
        QTest::newRow("35") << 3 << 2 << 35 << QList<int>{17, 17, 1};
        QTest::newRow("10-byte records, 24 to a block") << 3 << 0 << 30 << QList<int>{24, 6};
        QTest::newRow("12-byte records, 20 to a block") << 3 << 1 << 40 << QList<int>{20, 20, 0};
    }
    void blocksEndWhereTheDownloadExpects()
    {
        QFETCH(int, analog);
        QFETCH(int, pulse);
        QFETCH(int, records);
        QFETCH(QList<int>, blockCounts);
        LoggerOptions options;
        options.AnalogChannels = analog;
        options.PulseChannels = pulse;
        options.HistoryRecords = records;
        LoggerEngine engine(options, [] { return FixedNow; });
        const int size = 4 + 2 * (analog + pulse);
        const int perBlock = 240 / size;

        QList<int> counts;
        QList<uint32_t> times;
        for (int kind = 0;; kind = 1) {
            const QByteArray block = AskBlock(engine, kind);
            QCOMPARE(block.size(), 241);
            const int n = static_cast<uint8_t>(block.at(0));
            counts.append(n);
            QVERIFY(block.mid(1 + n * size).count('\0') == block.size() - 1 - n * size); // zero padding
            for (int k = 0; k < n; ++k) {
                times.append(ReadPackedTimeValue(block.constData() + 1 + k * size));
            }
            // Asking to repeat gives the very same block.
            QCOMPARE(AskBlock(engine, 2), block);
            if (n < perBlock || counts.size() > 20) {
                break;
            }
        }
        QCOMPARE(counts, blockCounts);
        QCOMPARE(times.size(), records);
        // One record every 15 minutes, the last at 20:00:00.
        for (int i = 0; i < times.size(); ++i) {
            const PackedTime t = PackedTime::FromValue(times.at(i));
            const QDateTime when(t.date(), QTime(t.Hour, t.Minute, t.Second));
            QCOMPARE(when, QDateTime(FixedNow.date(), QTime(20, 0)).addSecs(-900LL * (records - 1 - i)));
        }
    }

    void repeatBeforeAnyBlockSendsTheFirst()
    {
        LoggerOptions options;
        options.HistoryRecords = 20;
        LoggerEngine engine(options, [] { return FixedNow; });
        const QByteArray repeated = AskBlock(engine, 2);
        QCOMPARE(static_cast<uint8_t>(repeated.at(0)), uint8_t(17));
        QCOMPARE(AskBlock(engine, 0), repeated);
    }

    void firstBlockStartsOverAfterReconnect()
    {
        LoggerOptions options;
        options.HistoryRecords = 40;
        LoggerEngine engine(options, [] { return FixedNow; });
        const QByteArray first = AskBlock(engine, 0);
        AskBlock(engine, 1);
        engine.lineDropped();
        // A repeat after reconnecting cannot mean the old block any more.
        QCOMPARE(AskBlock(engine, 2), first);
    }

    void sameSeedSameHistory()
    {
        LoggerOptions options;
        options.HistoryRecords = 17;
        LoggerEngine a(options, [] { return FixedNow; });
        LoggerEngine b(options, [] { return FixedNow; });
        options.DataSeed = 2;
        LoggerEngine c(options, [] { return FixedNow; });
        const QByteArray block = AskBlock(a, 0);
        QCOMPARE(AskBlock(b, 0), block);
        QVERIFY(AskBlock(c, 0) != block);
    }
};

BREVEL_TEST(HistoryProtocolTest)
#include "tst_historyprotocol.moc"
