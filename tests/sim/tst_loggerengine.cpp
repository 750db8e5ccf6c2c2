#include "LoggerEngine.h"
#include "SimControl.h"
#include "TestRegistry.h"
#include "core/SampleRecord.h"
#include "link/FrameCodec.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

const QDateTime FixedNow(QDate(2026, 12, 5), QTime(20, 7, 3));

LoggerEngine::Clock Fixed()
{
    return [] { return FixedNow; };
}

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
    return JoinReply(engine.receive(BuildFrame(payload)));
}

// The payload of a reply made of 0xFA and one intact frame; empty otherwise.
QByteArray AckedFramePayload(const QByteArray& reply)
{
    QByteArray body;
    for (int i = 3; i < reply.size() - 1; ++i) {
        char byte = reply.at(i);
        if (static_cast<uint8_t>(byte) == Frame::Escape) {
            byte = static_cast<char>(Frame::Start + reply.at(++i));
        }
        body += byte;
    }
    const QByteArray payload = body.left(body.size() - 2);
    return Acked(payload) == reply ? payload : QByteArray();
}

QByteArray AskBlock(LoggerEngine& engine, int kind)
{
    return AckedFramePayload(Ask(engine, Hex("0D") + char(kind)));
}

enum Variant { Plain = 0, NoSamples = 2, Blank = 4, Mute = 8, Full = 16 };

// A session of the usual requests, as one stream of reply bytes.
QByteArray RunSession(const LoggerOptions& options)
{
    LoggerEngine engine(options, Fixed());
    QByteArray replies = JoinReply(engine.receive("UGW"));
    for (int round = 0; round < 5; ++round) {
        for (const char* request : {"0F", "0C", "08080000F2", "0D00", "0D01", "0D02", "0D01", "00"}) {
            replies += Ask(engine, Hex(request));
        }
    }
    return replies;
}

} // namespace

class LoggerEngineTest : public QObject {
    Q_OBJECT
private slots:
    void repliesMatchTheWire_data()
    {
        QTest::addColumn<int>("variant");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("wake-up U") << 0 << QByteArray("U") << QByteArray("G");
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
        QTest::newRow("read sample before a start") << 0 << F("0A") << Hex("FAFD");
        QTest::newRow("no samples") << int(NoSamples) << F("0901") + F("0A") << Hex("FAFCFAFD");
        QTest::newRow("set clock to no time") << 0 << F("0103076101051226") << Hex("FA");
        QTest::newRow("wrong guard bytes") << 0 << F("04A44B") << QByteArray();
        QTest::newRow("write with a wrong end address") << 0 << F("07A77A0800090041") << QByteArray();
        QTest::newRow("write past the end") << 0 << F("07A77AFFFF00000102") << QByteArray();
        QTest::newRow("read of more than 242 bytes") << 0 << F("08080000F3") << QByteArray();
        QTest::newRow("unknown command") << 0 << F("05") << QByteArray();
        QTest::newRow("history block of another kind") << 0 << F("0D03") << QByteArray();
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
        LoggerEngine engine(options, Fixed());
        QCOMPARE(JoinReply(engine.receive(sent)).toHex(' '), reply.toHex(' '));
        // Whatever came before, the next intact request is answered.
        QCOMPARE(AckedFramePayload(Ask(engine, Hex("0C"))).size(), 5);
    }

    void clockFollowsSetting()
    {
        QDateTime now = FixedNow;
        LoggerEngine engine(LoggerOptions{}, [&now] { return now; });
        QCOMPARE(Ask(engine, Hex("0130450601311299")), Hex("FAFC")); // 31/12/99 06:45:30
        now = now.addSecs(61);
        QCOMPARE(AckedFramePayload(Ask(engine, Hex("00"))), Hex("31460605311299"));
    }

    // Live counts set by control lines; the last analog channel sits in slot 8.
    void liveSamples_data()
    {
        QTest::addColumn<int>("analog");
        QTest::addColumn<int>("pulse");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("error"); // of the last line
        QTest::addColumn<QByteArray>("values"); // the slots, when there is no error
        const auto row = [](const char* name, int analog, int pulse, const QStringList& lines, const char* values,
                            const char* error = "") {
            QTest::newRow(name) << analog << pulse << lines << QString::fromLatin1(error) << Hex(values);
        };
        row("3 analog, 2 pulse", 3, 2, {"counts 4097, 4098,4099", "pulse-counts 8193,8194"},
            "1001 1002 0000 0000 0000 0000 0000 1003 2001 2002");
        row("1 analog, 1 pulse", 1, 1, {"counts 4097", "pulse-counts 8193"},
            "1001 0000 0000 0000 0000 0000 0000 0000 2001 0000");
        row("8 analog, 0 pulse", 8, 0, {"counts 4097,4098,4099,4100,4101,4102,4103,4104"},
            "1001 1002 1003 1004 1005 1006 1007 1008 0000 0000");
        row("later lines win", 3, 2, {"counts 1,2,3", "counts 9"}, "0009 0002 0000 0000 0000 0000 0000 0003 0000 0000");
        row("too many channels", 3, 2, {"counts 1,2,3,4"}, "", "counts has more counts than the logger has channels");
        row("not a count", 3, 2, {"pulse-counts 70000"}, "",
            "pulse-counts takes raw counts from 0 to 65535 separated by commas");
        row("unknown", 3, 2, {"count 1"}, "", "unknown control \"count\"; use counts, pulse-counts or release");
    }
    void liveSamples()
    {
        QFETCH(int, analog);
        QFETCH(int, pulse);
        QFETCH(QStringList, lines);
        QFETCH(QByteArray, values);
        LoggerOptions options;
        options.AnalogChannels = analog;
        options.PulseChannels = pulse;
        LoggerEngine engine(options, Fixed());
        for (int c = 0; c < analog; ++c) { // zero everything the lines leave alone
            engine.setLiveAnalogCount(c, 0);
        }
        for (int p = 0; p < pulse; ++p) {
            engine.setLivePulseCount(p, 0);
        }
        QString last;
        for (const QString& line : lines) {
            last = ApplyControlLine(line, engine);
        }
        QTEST(last, "error");
        if (!last.isEmpty()) {
            return;
        }
        Ask(engine, Hex("0901"));
        const QByteArray reply = Ask(engine, Hex("0A"));
        QCOMPARE(reply.left(1), Hex("FA")); // the acknowledgement, then "a frame follows"
        const QByteArray frame = AckedFramePayload(reply.mid(1));
        QCOMPARE(frame.mid(4).toHex(' '), values.toHex(' '));
        const PackedTime time = PackedTime::FromValue(ReadPackedTimeValue(frame.constData()));
        QCOMPARE(QDateTime(time.date(), QTime(time.Hour, time.Minute, time.Second)), FixedNow);
        QCOMPARE(ApplyControlLine(QStringLiteral("release"), engine), QString());
        Ask(engine, Hex("0901"));
        QVERIFY(AckedFramePayload(Ask(engine, Hex("0A")).mid(1)).mid(4) != values); // generated again
    }

    void generatedReadingsArePlausible()
    {
        LoggerEngine engine(LoggerOptions{}, Fixed());
        Ask(engine, Hex("0901"));
        const QByteArray frame = AckedFramePayload(Ask(engine, Hex("0A")).mid(1));
        auto slot = [&frame](int s) {
            return 256 * static_cast<uint8_t>(frame.at(4 + 2 * s)) + static_cast<uint8_t>(frame.at(5 + 2 * s));
        };
        const double level = slot(0) * 100.0 / 65535;
        const double temperature = slot(1) * 100.0 / 65535;
        const double volts = slot(7) * 24.0 / 62384;
        QVERIFY2(level > 0.0 && level < 2.0, qPrintable(QString::number(level)));
        QVERIFY2(temperature > 0.0 && temperature < 30.0, qPrintable(QString::number(temperature)));
        QVERIFY2(volts > 11.5 && volts < 14.0, qPrintable(QString::number(volts)));
        // The accumulators start at the reset, which a fixed clock keeps at 0.
        Ask(engine, Hex("0E03"));
        QCOMPARE(AckedFramePayload(Ask(engine, Hex("0A")).mid(1)).mid(20), Hex("00000000"));
    }

    void memorySurvivesInItsFile()
    {
        QTemporaryDir dir;
        LoggerOptions options;
        options.MemoryFile = dir.filePath(QStringLiteral("logger.mem"));
        options.HistoryRecords = 40;
        QString error;
        {
            LoggerEngine engine(options, Fixed());
            QVERIFY(engine.attachMemoryFile(&error));
            Ask(engine, Hex("07A77A00000700") + QByteArray("Saved   "));
            Ask(engine, Hex("0100000012311230")); // 31/12/30 12:00:00
        }
        options.HistoryRecords = 5; // the file wins over the options
        LoggerEngine engine(options, Fixed());
        QVERIFY2(engine.attachMemoryFile(&error), qPrintable(error));
        QCOMPARE(AckedFramePayload(Ask(engine, Hex("0800000008"))).mid(3), QByteArray("Saved   "));
        QCOMPARE(AckedFramePayload(Ask(engine, Hex("0C"))).left(3), Hex("280000"));
        QCOMPARE(engine.loggerTime().date(), QDate(2030, 12, 31));

        QFile damaged(options.MemoryFile);
        QVERIFY(damaged.open(QIODevice::ReadWrite));
        damaged.resize(100);
        damaged.close();
        LoggerEngine again(options, Fixed());
        QVERIFY(!again.attachMemoryFile(&error));
    }

    // The download loop: block 0 first, then 1 until a block is short or empty.
    void historyBlocksEndWhereTheDownloadExpects_data()
    {
        QTest::addColumn<int>("analog");
        QTest::addColumn<int>("pulse");
        QTest::addColumn<int>("records");
        QTest::addColumn<QList<int>>("blockCounts");
        QTest::newRow("none") << 3 << 2 << 0 << QList<int>{0};
        QTest::newRow("16: one short block") << 3 << 2 << 16 << QList<int>{16};
        QTest::newRow("17: a full block, then an empty one") << 3 << 2 << 17 << QList<int>{17, 0};
        QTest::newRow("10-byte records, 24 to a block") << 3 << 0 << 30 << QList<int>{24, 6};
        QTest::newRow("12-byte records, 20 to a block") << 3 << 1 << 40 << QList<int>{20, 20, 0};
    }
    void historyBlocksEndWhereTheDownloadExpects()
    {
        QFETCH(int, analog);
        QFETCH(int, pulse);
        QFETCH(int, records);
        QFETCH(QList<int>, blockCounts);
        LoggerOptions options;
        options.AnalogChannels = analog;
        options.PulseChannels = pulse;
        options.HistoryRecords = records;
        LoggerEngine engine(options, Fixed());
        const int size = 4 + 2 * (analog + pulse);

        QList<int> counts;
        QList<uint32_t> times;
        for (int kind = 0; counts.size() < 20; kind = 1) {
            const QByteArray block = AskBlock(engine, kind);
            QCOMPARE(block.size(), 241);
            const int n = static_cast<uint8_t>(block.at(0));
            counts.append(n);
            QCOMPARE(block.mid(1 + n * size), QByteArray(240 - n * size, '\0')); // zero padding
            for (int k = 0; k < n; ++k) {
                times.append(ReadPackedTimeValue(block.constData() + 1 + k * size));
            }
            QCOMPARE(AskBlock(engine, 2), block); // asking to repeat gives the very same block
            if (n < 240 / size) {
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

    void repeatWithoutABlockSendsTheFirst()
    {
        LoggerOptions options;
        options.HistoryRecords = 40;
        LoggerEngine engine(options, Fixed());
        const QByteArray first = AskBlock(engine, 2);
        QCOMPARE(static_cast<uint8_t>(first.at(0)), uint8_t(17));
        QCOMPARE(AskBlock(engine, 0), first);
        QVERIFY(AskBlock(engine, 1) != first);
        engine.lineDropped();
        // A repeat after reconnecting cannot mean the old block any more.
        QCOMPARE(AskBlock(engine, 2), first);
    }

    void sameSeedSameSession()
    {
        LoggerOptions options;
        options.HistoryRecords = 60;
        const QByteArray clean = RunSession(options);
        QCOMPARE(RunSession(options), clean);
        options.DataSeed = 2;
        QVERIFY(RunSession(options) != clean);
        options.DataSeed = 1;
        FaultOptions& faults = options.Faults;
        faults.Seed = 7;
        faults.NoiseRate = faults.LoseByteRate = faults.CorruptRate = 0.01;
        faults.LoseAckRate = faults.LoseRequestRate = 0.1;
        const QByteArray faulty = RunSession(options);
        QCOMPARE(RunSession(options), faulty);
        QVERIFY(faulty != clean);
        faults.Seed = 8;
        QVERIFY(RunSession(options) != faulty);
    }

    void eachFaultDoesWhatItSays_data()
    {
        QTest::addColumn<int>("fault");
        QTest::newRow("noise") << 0;
        QTest::newRow("lose bytes") << 1;
        QTest::newRow("corrupt") << 2;
        QTest::newRow("lose acks") << 3;
        QTest::newRow("lose requests") << 4;
        QTest::newRow("late replies") << 5;
        QTest::newRow("muted command") << 6;
    }
    void eachFaultDoesWhatItSays()
    {
        QFETCH(int, fault);
        LoggerOptions options;
        FaultOptions& faults = options.Faults;
        double* rates[] = {&faults.NoiseRate, &faults.LoseByteRate, &faults.CorruptRate, &faults.LoseAckRate,
                           &faults.LoseRequestRate, &faults.LateRate};
        if (fault < 6) {
            *rates[fault] = 1.0;
        } else {
            options.MutedCommands = {0x0A, 0x0F};
        }
        faults.LateMinMs = 200;
        faults.LateMaxMs = 400;
        LoggerEngine engine(options, Fixed());
        LoggerEngine cleanEngine(LoggerOptions{}, Fixed());
        const QByteArray clean = Ask(cleanEngine, Hex("0F"));
        const Reply reply = engine.receive(BuildFrame(Hex("0F")));
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
            QCOMPARE(engine.memory().History.size(), size_t(0));
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

    void hangUpCutsTheLineUntilReconnect()
    {
        LoggerOptions options;
        options.Faults.HangUpAfterBytes = 15; // a status reply is 11 bytes
        LoggerEngine engine(options, Fixed());
        QCOMPARE(Ask(engine, Hex("0C")).size(), 11);
        QCOMPARE(Ask(engine, Hex("0C")).size(), 4); // cut in the middle of the frame
        QVERIFY(engine.lineDead());
        QCOMPARE(JoinReply(engine.receive("U")), QByteArray());
        engine.lineDropped();
        QCOMPARE(JoinReply(engine.receive("U")), QByteArray("G"));
        QCOMPARE(Ask(engine, Hex("0C")).size(), 11); // it hangs up once only
    }
};

BREVEL_TEST(LoggerEngineTest)
#include "tst_loggerengine.moc"
