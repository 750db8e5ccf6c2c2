#include "FakeSerialPort.h"
#include "TestRegistry.h"
#include "link/FrameCodec.h"
#include "link/LoggerLink.h"
#include "link/ReplyTicker.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

QByteArray Hex(const char* text) { return QByteArray::fromHex(text); }
const QByteArray Ack = Hex("FA");

// A reply frame as the logger sends it.
QByteArray ReplyFrame(const QByteArray& payload) { return BuildFrame(payload); }

} // namespace

class LoggerLinkTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeSerialPort> port;
    std::unique_ptr<AppState> state;
    std::unique_ptr<LoggerLink> link;
    std::unique_ptr<ReplyTicker> ticker;

    // Ticks of 2 ms keep failure paths quick; tests of real timing restart it at 100 ms.
    void restartTicker(int intervalMs)
    {
        ticker = std::make_unique<ReplyTicker>(*link, intervalMs);
        ticker->start();
    }

private slots:
    void init()
    {
        port = std::make_unique<FakeSerialPort>();
        state = std::make_unique<AppState>();
        state->ReplyTicks = 2;
        link = std::make_unique<LoggerLink>(*port, *state);
        restartTicker(2);
        QVERIFY(link->OpenPort(3, QStringLiteral("9600,N,8,1")));
    }
    void cleanup()
    {
        ticker.reset();
        link.reset();
        state.reset();
        port.reset();
    }

    void openPortReusesAnIdenticalOpenPort()
    {
        port->feedReceived(Hex("0102"));
        QVERIFY(link->OpenPort(3, QStringLiteral("9600,N,8,1")));
        QCOMPARE(port->openCount, 1);
        QCOMPARE(port->bytesAvailable(), 0);

        QVERIFY(link->OpenPort(3, QStringLiteral("19200,N,8,1")));
        QCOMPARE(port->openCount, 2);
        QCOMPARE(port->lineSettings(), QStringLiteral("19200,N,8,1"));
        QVERIFY(link->OpenPort(4, QStringLiteral("19200,N,8,1")));
        QCOMPARE(port->openCount, 3);
        QCOMPARE(port->portNumber(), 4);
        QVERIFY(port->dtr);
        QVERIFY(port->rts);
    }

    void openPortSucceedsWithoutModemLinesAndFailsWhenTheDeviceDoes()
    {
        link->ClosePort();
        port->modemLinesWork = false;
        QVERIFY(link->OpenPort(9, QStringLiteral("9600,N,8,1")));
        QVERIFY(port->isOpen());

        link->ClosePort();
        port->failOpen = true;
        QVERIFY(!link->OpenPort(9, QStringLiteral("9600,N,8,1")));
        QVERIFY(!port->isOpen());
    }

    void closePortDropsDtr()
    {
        link->ClosePort();
        QVERIFY(!port->isOpen());
        QVERIFY(!port->dtr);
        link->ClosePort();
        QVERIFY(!port->isOpen());
    }

    void pauseLastsItsTicksWhateverArrives()
    {
        restartTicker(100);
        QTimer::singleShot(20, port.get(), [this] { port->feedReceived(Hex("FA")); });
        QElapsedTimer clock;
        clock.start();
        link->WaitForBytes(2, 0);
        QVERIFY2(clock.elapsed() >= 100 && clock.elapsed() < 450, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(state->ReplyCountdown, int16_t(0));
    }

    void waitEndsWhenTheBytesArrive()
    {
        restartTicker(100);
        QTimer::singleShot(20, port.get(), [this] { port->feedReceived(Hex("01")); });
        QTimer::singleShot(40, port.get(), [this] { port->feedReceived(Hex("0203")); });
        QElapsedTimer clock;
        clock.start();
        link->WaitForBytes(50, 3);
        QVERIFY(clock.elapsed() < 1000);
        QCOMPARE(port->bytesAvailable(), 3);
        QVERIFY(state->ReplyCountdown > 0);
    }

    void waitEndsOnATickThatOnlyCountsDown()
    {
        // The main window's status tick may count down without telling the link.
        ticker->stop();
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [this] {
            if (state->ReplyCountdown > 0) {
                --state->ReplyCountdown;
            }
        });
        tick.start(100);
        QElapsedTimer clock;
        clock.start();
        link->WaitForBytes(3, 1);
        QVERIFY2(clock.elapsed() >= 200 && clock.elapsed() < 600, qPrintable(QString::number(clock.elapsed())));
    }

    void waitEndsWhenThePortIsLost()
    {
        restartTicker(100);
        QTimer::singleShot(20, port.get(), [this] { port->injectError(); });
        QElapsedTimer clock;
        clock.start();
        link->WaitForBytes(50, 1);
        QVERIFY(clock.elapsed() < 1000);
    }

    void waitOfNoTicksReturnsAtOnce()
    {
        ticker->stop();
        QElapsedTimer clock;
        clock.start();
        link->WaitForBytes(0, 1);
        link->WaitForBytes(-3, 0);
        QVERIFY(clock.elapsed() < 100);
    }

    void sendFrameRetries_data()
    {
        QTest::addColumn<int>("retries");
        QTest::addColumn<QList<QByteArray>>("answers");
        QTest::addColumn<bool>("acknowledged");
        QTest::addColumn<int>("sends");
        QTest::newRow("ack at once") << 2 << QList<QByteArray>{Ack} << true << 1;
        QTest::newRow("silent, no retries") << 0 << QList<QByteArray>{} << false << 1;
        QTest::newRow("silent, two retries") << 2 << QList<QByteArray>{} << false << 3;
        QTest::newRow("wrong byte then ack") << 2 << QList<QByteArray>{Hex("FB"), Ack} << true << 2;
        QTest::newRow("done is no ack") << 0 << QList<QByteArray>{Hex("FC")} << false << 1;
        QTest::newRow("third send acked") << 2 << QList<QByteArray>{{}, Hex("00FA"), Ack} << true << 3;
    }
    void sendFrameRetries()
    {
        QFETCH(int, retries);
        QFETCH(QList<QByteArray>, answers);
        QFETCH(bool, acknowledged);
        QFETCH(int, sends);
        port->scriptReplies(answers);
        QCOMPARE(link->SendFrame(Hex("0C"), retries), acknowledged);
        QCOMPARE(port->writes().size(), sends);
        for (const QByteArray& sent : port->writes()) {
            QCOMPARE(sent, Hex("F8030C0005F9"));
        }
    }

    void sendFrameLeavesBytesAfterTheAck()
    {
        port->scriptReplies({Hex("FAF80302")});
        QVERIFY(link->SendFrame(Hex("00"), 2));
        QCOMPARE(port->pendingInput(), Hex("F80302"));
    }

    void staleInputIsDrainedAndNeverTakenForAnAck()
    {
        port->feedReceived(Ack);
        // More stale bytes arrive during the first pause: they are dropped too.
        QTimer::singleShot(1, port.get(), [this] { port->feedReceived(Ack); });
        QVERIFY(!link->SendFrame(Hex("0C"), 0));
        QCOMPARE(port->writes().size(), 1);
        QCOMPARE(port->bytesAvailable(), 0);
    }

    void oversizedPayloadIsNotSent()
    {
        QVERIFY(!link->SendFrame(QByteArray(Frame::MaxPayload + 1, '\x01'), 2));
        QVERIFY(!link->SendFrame(QByteArray(), 2));
        QVERIFY(port->writtenData().isEmpty());
    }

    void receiveFrame_data()
    {
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QByteArray>("payload"); // empty: the receive fails
        const QByteArray status = Hex("0A000080F8");
        const QByteArray statusFrame = ReplyFrame(status);
        QTest::newRow("plain") << statusFrame << 5 << status;
        QTest::newRow("garbage before start") << Hex("0055FAFF") + statusFrame << 5 << status;
        QTest::newRow("escapes undone") << ReplyFrame(Hex("F8F9FAFBFCFDFEFF")) << 8 << Hex("F8F9FAFBFCFDFEFF");
        // 0xF9 and 0xFF inside the body are data; only 0xFE escapes.
        QByteArray raw = Hex("F803F9");
        const uint16_t crc = ComputeCrc16(Hex("F9"), 0, 0);
        raw.append(static_cast<char>(crc & 0xFF)).append(static_cast<char>(crc >> 8)).append('\xF9');
        QTest::newRow("end byte as data") << raw << 1 << Hex("F9");
        QTest::newRow("no start at all") << Hex("0102030405") << 5 << QByteArray();
        QTest::newRow("length one short") << statusFrame << 6 << QByteArray();
        QTest::newRow("length one long") << statusFrame << 4 << QByteArray();
        QTest::newRow("escape above 6") << Hex("F803FE07") + Hex("0000F9") << 1 << QByteArray();
        QTest::newRow("missing end") << statusFrame.left(statusFrame.size() - 1) + Hex("00") << 5 << QByteArray();
        QByteArray badCrc = statusFrame;
        badCrc[badCrc.size() - 2] = static_cast<char>(badCrc.at(badCrc.size() - 2) ^ 0x01);
        QTest::newRow("crc mismatch") << badCrc << 5 << QByteArray();
        QTest::newRow("truncated") << statusFrame.left(6) << 5 << QByteArray();
        QTest::newRow("nothing") << QByteArray() << 5 << QByteArray();
    }
    void receiveFrame()
    {
        QFETCH(QByteArray, wire);
        QFETCH(int, expected);
        QFETCH(QByteArray, payload);
        port->feedReceived(wire);
        QByteArray received(expected, '\x55');
        const bool ok = link->ReceiveFrame(received);
        QCOMPARE(ok, !payload.isEmpty());
        QCOMPARE(received, ok ? payload : QByteArray(expected, '\x55'));
        if (!ok) {
            QCOMPARE(port->bytesAvailable(), 0);
        }
    }

    void receiveFrameWaitsForSlowBytes()
    {
        const QByteArray wire = ReplyFrame(Hex("01020304050607"));
        state->ReplyTicks = 20;
        for (int i = 0; i < wire.size(); ++i) {
            QTimer::singleShot(3 * i, port.get(), [this, byte = wire.mid(i, 1)] { port->feedReceived(byte); });
        }
        QByteArray received(7, '\0');
        QVERIFY(link->ReceiveFrame(received));
        QCOMPARE(received, Hex("01020304050607"));
    }

    void readReplyByte()
    {
        port->feedReceived(Hex("FC00"));
        QCOMPARE(link->ReadReplyByte(2), 0xFC);
        QCOMPARE(link->ReadReplyByte(2), 0x00);
        QCOMPARE(link->ReadReplyByte(2), -1);
        QTimer::singleShot(1, port.get(), [this] { port->feedReceived(Hex("FD")); });
        QCOMPARE(link->ReadReplyByte(50), 0xFD);
    }

    void readBlockChecksTheEchoedAddress_data()
    {
        QTest::addColumn<QByteArray>("echo");
        QTest::addColumn<bool>("ok");
        QTest::newRow("right address") << Hex("000102") << true;
        QTest::newRow("low byte differs") << Hex("010102") << false;
        QTest::newRow("high byte differs") << Hex("000100") << false;
    }
    void readBlockChecksTheEchoedAddress()
    {
        QFETCH(QByteArray, echo);
        QFETCH(bool, ok);
        const QByteArray reply = Ack + ReplyFrame(echo + Hex("11223344"));
        port->scriptReplies({reply, reply});
        QByteArray buffer = Hex("AABB");
        QCOMPARE(link->ReadBlock(buffer, 2, 4, 0x020100), ok);
        QCOMPARE(port->writes().first(), BuildFrame(Hex("0800010204")));
        QCOMPARE(port->writes().size(), ok ? 1 : 2);
        QCOMPARE(buffer, ok ? Hex("AABB11223344") : Hex("AABB00000000"));
    }

    void readBlockRepeatsTheRequestOnce()
    {
        // First try: acknowledged but the reply frame is corrupt; second try succeeds.
        QByteArray corrupt = ReplyFrame(Hex("08000001"));
        corrupt[3] = 0x09;
        port->scriptReplies({Ack + corrupt, Ack + ReplyFrame(Hex("08000001"))});
        QByteArray buffer;
        QVERIFY(link->ReadBlock(buffer, 0, 1, 8));
        QCOMPARE(buffer, Hex("01"));
        QCOMPARE(port->writes().size(), 2);
    }

    void readBlockGrowsTheBufferAndKeepsItsBytes()
    {
        const QByteArray head(242, '\x42');
        QByteArray buffer = head;
        QVERIFY(!link->ReadBlock(buffer, 242, 48, 256)); // the logger is silent
        QCOMPARE(buffer.size(), 290);
        QCOMPARE(buffer.left(242), head);

        const QByteArray data(48, '\x07');
        port->scriptReplies({Ack + ReplyFrame(Hex("000100") + data)});
        buffer = head;
        QVERIFY(link->ReadBlock(buffer, 242, 48, 256));
        QCOMPARE(buffer, head + data);
    }

    void readBlockLimits_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("address");
        QTest::newRow("count too large") << 243 << 0;
        QTest::newRow("address beyond 24 bits") << 8 << (1 << 24);
        QTest::newRow("negative count") << -1 << 0;
    }
    void readBlockLimits()
    {
        QFETCH(int, count);
        QFETCH(int, address);
        QByteArray buffer;
        QVERIFY(!link->ReadBlock(buffer, 0, count, address));
        QVERIFY(port->writtenData().isEmpty());
    }

    void writeBlockRequest()
    {
        port->scriptReplies({Ack});
        const QByteArray buffer = Hex("00112233445566");
        QVERIFY(link->WriteBlock(buffer, 2, 3, 0x01FE));
        QCOMPARE(port->writtenData(), BuildFrame(Hex("07A77AFE010002223344")));
    }

    void writeBlockLimits_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("address");
        QTest::addColumn<bool>("sent");
        QTest::newRow("largest") << 0 << 238 << 0 << true;
        QTest::newRow("last byte at 65535") << 0 << 8 << 65528 << true;
        QTest::newRow("count too large") << 0 << 239 << 0 << false;
        QTest::newRow("runs past 65535") << 0 << 8 << 65529 << false;
        QTest::newRow("beyond the buffer") << 250 << 8 << 0 << false;
        QTest::newRow("nothing to write") << 0 << 0 << 0 << false;
    }
    void writeBlockLimits()
    {
        QFETCH(int, offset);
        QFETCH(int, count);
        QFETCH(int, address);
        QFETCH(bool, sent);
        port->scriptReplies({Ack});
        QCOMPARE(link->WriteBlock(QByteArray(256, '\x01'), offset, count, address), sent);
        QCOMPARE(port->writes().size(), sent ? 1 : 0);
    }

    void wakeHandshake_data()
    {
        QTest::addColumn<QList<QByteArray>>("answers");
        QTest::addColumn<bool>("awake");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("answers all three") << QList<QByteArray>{Hex("47"), Hex("57"), Hex("FC")} << true << Hex("554757");
        QTest::newRow("stray byte before G") << QList<QByteArray>{Hex("0047")} << false << Hex("55");
        QTest::newRow("wrong second answer") << QList<QByteArray>{Hex("47"), Hex("47")} << false << Hex("5547");
        QTest::newRow("silent after W") << QList<QByteArray>{Hex("47"), Hex("57")} << false << Hex("554757");
    }
    void wakeHandshake()
    {
        QFETCH(QList<QByteArray>, answers);
        QFETCH(bool, awake);
        QFETCH(QByteArray, sent);
        port->feedReceived(Hex("1234")); // left over from before: flushed first
        port->scriptReplies(answers);
        QCOMPARE(link->WakeHandshake(), awake);
        QCOMPARE(port->writtenData(), sent);
    }
};

BREVEL_TEST(LoggerLinkTest)
#include "tst_loggerlink.moc"
