#include "LoggerEngine.h"
#include "TestRegistry.h"
#include "link/FrameCodec.h"

#include <QTest>

namespace {

const LoggerEngine::Clock Fixed = [] { return QDateTime(QDate(2026, 12, 5), QTime(20, 7, 3)); };

QByteArray Hex(const char* hex)
{
    return QByteArray::fromHex(hex);
}

QByteArray F(const char* hex)
{
    return BuildFrame(Hex(hex));
}

QByteArray Acked(const QByteArray& payload)
{
    return Hex("FA") + BuildFrame(payload);
}

QByteArray Ask(LoggerEngine& engine, const QByteArray& payload)
{
    return JoinReply(engine.Receive(BuildFrame(payload)));
}

using Rate = double FaultOptions::*;

enum Variant { Plain = 0, NoSamples = 2, Blank = 4, Mute = 8, Full = 16 };

} // namespace

class LoggerEngineTest : public QObject {
    Q_OBJECT
private slots:
    void repliesMatchTheWire_data()
    {
        QTest::addColumn<int>("variant");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("whole handshake") << 0 << QByteArray("UGW") << Hex("4757FC");
        QTest::newRow("handshake muted") << int(Mute) << QByteArray("UGW") << QByteArray();
        QTest::newRow("other bytes ignored") << 0 << QByteArray("xZ\r\n") << QByteArray();
        // Inside a frame the letters are data: a read of 0x55 bytes at 0x4757.
        QTest::newRow("letters inside a frame") << 0 << F("0857470055").left(6) << QByteArray();
        QTest::newRow("status counts, clear empties")
            << int(Full) << F("0C") + F("04A44A") + F("0C") << Acked(Hex("701101 8030")) + Hex("FAFC")
                                                                   + Acked(Hex("000000 8030"));
        // Saturday 5 December 2026, 20:07:03; Sunday is weekday 1.
        QTest::newRow("clock") << 0 << F("00") << Hex("FAF80903072007051226 2F7FF9");
        QTest::newRow("blank memory reads erased") << int(Blank) << F("0800000008") + F("0802020001")
                                                   << Acked(Hex("000000FFFFFFFFFFFFFFFF")) + Acked(Hex("020200FF"));
        QTest::newRow("past 64 KB reads erased") << 0 << F("08FEFF0004") << Acked(Hex("FEFF00FFFFFFFF"));
        QTest::newRow("escaped bytes round trip") << 0 << F("07A77A00010801F8F9FAFBFCFDFEFF00") + F("0800010009")
                                                  << Hex("FAFA") + BuildFrame(Hex("000100F8F9FAFBFCFDFEFF00"));
        QTest::newRow("no samples") << int(NoSamples) << F("0901") + F("0A") << Hex("FAFCFAFD");
        QTest::newRow("set clock to no time") << 0 << F("0103076101051226") << Hex("FA");
        QTest::newRow("wrong guard bytes") << 0 << F("04A44B") << QByteArray();
        QTest::newRow("write with a wrong end address") << 0 << F("07A77A0800090041") << QByteArray();
        QTest::newRow("write past the end") << 0 << F("07A77AFFFF00000102") << QByteArray();
        QTest::newRow("read of more than 242 bytes") << 0 << F("08080000F3") << QByteArray();
        QTest::newRow("unknown command") << 0 << F("05") << QByteArray();
        // Status frame F8 03 0C 00 05 F9, damaged.
        QTest::newRow("bad checksum") << 0 << Hex("F8030C0006F9") << QByteArray();
        QTest::newRow("escape beyond 6") << 0 << Hex("F8030CFE07F9") << QByteArray();
        QTest::newRow("length shorter than the body") << 0 << Hex("F8040C0005F9") << QByteArray();
        // The computer gave up half-way and sent the request again.
        QTest::newRow("restarted frame") << 0 << Hex("F8030C") + F("0C") << Hex("FAF807000000800061C0F9");
    }
    void repliesMatchTheWire()
    {
        QFETCH(int, variant);
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, reply);
        LoggerOptions options;
        options.HistoryRecords = variant & Full ? 70000 : 0;
        options.StatusWord = variant & Full ? 0x3080 : 0x0080;
        options.NoSamples = variant & NoSamples;
        options.Initialised = !(variant & Blank);
        options.AnswersWakeUp = !(variant & Mute);
        LoggerEngine engine(options, Fixed);
        QCOMPARE(JoinReply(engine.Receive(sent)).toHex(' '), reply.toHex(' '));
        // Whatever came before, the next intact request is answered.
        QCOMPARE(Ask(engine, Hex("0C")).left(3), Hex("FAF807"));
    }

    void eachFaultDoesWhatItSays_data()
    {
        QTest::addColumn<Rate>("rate"); // set to 1; none: commands are muted
        QTest::newRow("noise") << &FaultOptions::NoiseRate;
        QTest::newRow("lose bytes") << &FaultOptions::LoseByteRate;
        QTest::newRow("corrupt") << &FaultOptions::CorruptRate;
        QTest::newRow("lose acks") << &FaultOptions::LoseAckRate;
        QTest::newRow("lose requests") << &FaultOptions::LoseRequestRate;
        QTest::newRow("late replies") << &FaultOptions::LateRate;
        QTest::newRow("muted command") << Rate();
    }
    void eachFaultDoesWhatItSays()
    {
        QFETCH(Rate, rate);
        LoggerOptions options;
        FaultOptions& faults = options.Faults;
        if (rate != nullptr) {
            faults.*rate = 1.0;
        } else {
            options.MutedCommands = {0x0A, 0x0F};
        }
        faults.LateMinMs = 200;
        faults.LateMaxMs = 400;
        LoggerEngine engine(options, Fixed);
        LoggerEngine cleanEngine(LoggerOptions{}, Fixed);
        const QByteArray clean = Ask(cleanEngine, Hex("0F"));
        const Reply reply = engine.Receive(BuildFrame(Hex("0F")));
        const QByteArray faulty = JoinReply(reply);
        if (faults.NoiseRate > 0) {
            QCOMPARE(faulty.size(), 2 * clean.size());
            for (int i = 0; i < clean.size(); ++i) {
                QCOMPARE(faulty.at(2 * i + 1), clean.at(i));
            }
        } else if (faults.CorruptRate > 0) {
            QCOMPARE(faulty.size(), clean.size());
            for (int i = 0; i < clean.size(); ++i) {
                const uint8_t flipped = static_cast<uint8_t>(faulty.at(i) ^ clean.at(i));
                QVERIFY2(flipped != 0 && (flipped & (flipped - 1)) == 0, "exactly one bit flips");
            }
        } else if (faults.LoseAckRate > 0) {
            QCOMPARE(faulty, clean.mid(1)); // the frame still comes, the acknowledgement does not
            QCOMPARE(Ask(engine, Hex("04A44A")), Hex("FC")); // and the command still runs
            QCOMPARE(engine.Memory().History.size(), size_t(0));
        } else if (faults.LateRate > 0) {
            QCOMPARE(faulty, clean); // the whole reply, held back
            QVERIFY(reply.first().DelayMs >= 200 && reply.first().DelayMs <= 400);
        } else {
            QCOMPARE(faulty, QByteArray());
        }
        if (!options.MutedCommands.isEmpty()) { // only what was muted goes unanswered
            QCOMPARE(Ask(engine, Hex("0C")).left(1), Hex("FA"));
        }
    }
};

BREVEL_TEST(LoggerEngineTest)
#include "tst_loggerengine.moc"
