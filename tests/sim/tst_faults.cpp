#include "LoggerEngine.h"
#include "TestRegistry.h"
#include "link/FrameCodec.h"

#include <QTest>

namespace {

const QDateTime FixedNow(QDate(2026, 12, 5), QTime(20, 7, 3));

// A session of the usual requests, as one stream of reply bytes.
QByteArray RunSession(const FaultOptions& faults)
{
    LoggerOptions options;
    options.HistoryRecords = 60;
    options.Faults = faults;
    LoggerEngine engine(options, [] { return FixedNow; });
    QByteArray replies = JoinReply(engine.receive("UGW"));
    const QList<QByteArray> requests = {QByteArray::fromHex("0F"), QByteArray::fromHex("0C"),
                                        QByteArray::fromHex("08080000F2"), QByteArray::fromHex("0D00"),
                                        QByteArray::fromHex("0D01"), QByteArray::fromHex("0D02"),
                                        QByteArray::fromHex("0D01"), QByteArray::fromHex("00")};
    for (int round = 0; round < 5; ++round) {
        for (const QByteArray& request : requests) {
            replies += JoinReply(engine.receive(BuildFrame(request)));
        }
    }
    return replies;
}

} // namespace

class FaultsTest : public QObject {
    Q_OBJECT
private slots:
    void sameSeedSameFaults()
    {
        FaultOptions faults;
        faults.Seed = 7;
        faults.NoiseRate = 0.01;
        faults.LoseByteRate = 0.01;
        faults.CorruptRate = 0.01;
        faults.LoseAckRate = 0.1;
        faults.LoseRequestRate = 0.1;
        const QByteArray clean = RunSession(FaultOptions{});
        const QByteArray first = RunSession(faults);
        QCOMPARE(RunSession(faults), first);
        QVERIFY(first != clean);
        faults.Seed = 8;
        QVERIFY(RunSession(faults) != first);
    }

    void eachFaultDoesWhatItSays_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("noise") << QStringLiteral("noise");
        QTest::newRow("lost bytes") << QStringLiteral("lose bytes");
        QTest::newRow("corrupted bytes") << QStringLiteral("corrupt");
        QTest::newRow("lost acknowledgements") << QStringLiteral("lose acks");
        QTest::newRow("lost requests") << QStringLiteral("lose requests");
    }
    void eachFaultDoesWhatItSays()
    {
        QFETCH(QString, fault);
        LoggerOptions options;
        options.HistoryRecords = 0;
        FaultOptions& faults = options.Faults;
        faults.NoiseRate = fault == QLatin1String("noise") ? 1.0 : 0.0;
        faults.LoseByteRate = fault == QLatin1String("lose bytes") ? 1.0 : 0.0;
        faults.CorruptRate = fault == QLatin1String("corrupt") ? 1.0 : 0.0;
        faults.LoseAckRate = fault == QLatin1String("lose acks") ? 1.0 : 0.0;
        faults.LoseRequestRate = fault == QLatin1String("lose requests") ? 1.0 : 0.0;
        LoggerEngine engine(options, [] { return FixedNow; });
        LoggerEngine cleanEngine(LoggerOptions{}, [] { return FixedNow; });
        const QByteArray request = BuildFrame(QByteArray::fromHex("0F"));
        const QByteArray clean = JoinReply(cleanEngine.receive(request));
        const QByteArray faulty = JoinReply(engine.receive(request));

        if (fault == QLatin1String("noise")) {
            QCOMPARE(faulty.size(), 2 * clean.size());
            for (int i = 0; i < clean.size(); ++i) {
                QCOMPARE(faulty.at(2 * i + 1), clean.at(i));
            }
        } else if (fault == QLatin1String("lose bytes") || fault == QLatin1String("lose requests")) {
            QCOMPARE(faulty, QByteArray());
        } else if (fault == QLatin1String("corrupt")) {
            QCOMPARE(faulty.size(), clean.size());
            for (int i = 0; i < clean.size(); ++i) {
                const uint8_t flipped = static_cast<uint8_t>(faulty.at(i) ^ clean.at(i));
                QVERIFY2(flipped != 0 && (flipped & (flipped - 1)) == 0, "exactly one bit flips");
            }
        } else {
            QCOMPARE(faulty, clean.mid(1)); // the frame still comes, the acknowledgement does not
        }
    }

    void lostAcknowledgementStillRunsTheCommand()
    {
        LoggerOptions options;
        options.HistoryRecords = 5;
        options.Faults.LoseAckRate = 1.0;
        LoggerEngine engine(options, [] { return FixedNow; });
        QCOMPARE(JoinReply(engine.receive(BuildFrame(QByteArray::fromHex("04A44A")))), QByteArray::fromHex("FC"));
        QCOMPARE(engine.memory().History.size(), size_t(0));
    }

    void hangUpCutsTheLineUntilReconnect()
    {
        LoggerOptions options;
        options.Faults.HangUpAfterBytes = 15; // a status reply is 11 bytes
        LoggerEngine engine(options, [] { return FixedNow; });
        const QByteArray status = BuildFrame(QByteArray::fromHex("0C"));
        QCOMPARE(JoinReply(engine.receive(status)).size(), 11);
        QCOMPARE(JoinReply(engine.receive(status)).size(), 4); // cut in the middle of the frame
        QVERIFY(engine.lineDead());
        QCOMPARE(JoinReply(engine.receive("U")), QByteArray());
        engine.lineDropped();
        QVERIFY(!engine.lineDead());
        QCOMPARE(JoinReply(engine.receive("U")), QByteArray("G"));
        QCOMPARE(JoinReply(engine.receive(status)).size(), 11); // it hangs up once only
    }
};

BREVEL_TEST(FaultsTest)
#include "tst_faults.moc"
