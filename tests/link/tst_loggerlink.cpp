#include "FakeSerialPort.h"
#include "LinkRig.h"
#include "TestRegistry.h"

#include <QTest>
#include <QTimer>
#include <memory>

namespace {

const QByteArray Ack = Hex("FA");

} // namespace

class LoggerLinkTest : public QObject {
    Q_OBJECT

    std::unique_ptr<LinkRig<FakeSerialPort>> rig;
    FakeSerialPort* port = nullptr;
    LoggerLink* link = nullptr;

private slots:
    void init()
    {
        rig = std::make_unique<LinkRig<FakeSerialPort>>();
        port = &rig->port;
        link = &rig->link;
        QVERIFY(link->OpenPort(3, QStringLiteral("9600,N,8,1")));
    }
    void cleanup() { rig.reset(); }

    void framesMatchTheWire_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("read status") << Hex("0C") << Hex("F8030C0005F9");
        QTest::newRow("start sample") << Hex("0901") << Hex("F8040901C790F9");
        // 0xFA is escaped, 0xFF is not; the CRC E002 goes out low byte first.
        QTest::newRow("escaped payload") << Hex("FAFF") << Hex("F804FE02FF02E0F9");
        QTest::newRow("escape byte itself") << Hex("FE") << Hex("F803FE068180F9");
        // CRC C0F8: its low byte 0xF8 is escaped to FE 00.
        QTest::newRow("escaped crc byte") << Hex("5C01") << Hex("F8045C01FE00C0F9");
    }
    void framesMatchTheWire()
    {
        QFETCH(QByteArray, payload);
        QFETCH(QByteArray, frame);
        QCOMPARE(BuildFrame(payload).toHex(' '), frame.toHex(' '));
    }

    void sendFrameRetries_data()
    {
        QTest::addColumn<int>("retries");
        QTest::addColumn<QList<QByteArray>>("answers");
        QTest::addColumn<bool>("acknowledged");
        QTest::addColumn<int>("sends");
        QTest::addColumn<QByteArray>("left"); // what stays for the reply
        QTest::newRow("ack at once, reply kept") << 2 << QList<QByteArray>{Hex("FAF80302")} << true << 1 << Hex("F80302");
        QTest::newRow("silent, no retries") << 0 << QList<QByteArray>{} << false << 1 << QByteArray();
        QTest::newRow("silent, two retries") << 2 << QList<QByteArray>{} << false << 3 << QByteArray();
        QTest::newRow("wrong byte then ack") << 2 << QList<QByteArray>{Hex("FB"), Ack} << true << 2 << QByteArray();
        QTest::newRow("done is no ack") << 0 << QList<QByteArray>{Hex("FC")} << false << 1 << QByteArray();
    }
    void sendFrameRetries()
    {
        QFETCH(int, retries);
        QFETCH(QList<QByteArray>, answers);
        QFETCH(bool, acknowledged);
        QFETCH(int, sends);
        port->scriptReplies(answers);
        QCOMPARE(link->SendFrame(Hex("0C"), retries), acknowledged);
        QCOMPARE(port->writes(), QList<QByteArray>(sends, Hex("F8030C0005F9")));
        if (acknowledged) {
            QTEST(port->pendingInput(), "left");
        }
    }

    void staleInputIsDrainedAndNeverTakenForAnAck()
    {
        port->feedReceived(Ack);
        // More stale bytes arrive during the first pause: they are dropped too.
        QTimer::singleShot(1, port, [this] { port->feedReceived(Ack); });
        QVERIFY(!link->SendFrame(Hex("0C"), 0));
        QCOMPARE(port->writes().size(), 1);
        QCOMPARE(port->BytesAvailable(), 0);
        QVERIFY(!link->SendFrame(QByteArray(Frame::MaxPayload + 1, '\x01'), 2));
        QCOMPARE(port->writes().size(), 1);
    }

    void receiveFrame_data()
    {
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QByteArray>("payload"); // empty: the receive fails
        const QByteArray status = Hex("0A000080F8");
        const QByteArray statusFrame = BuildFrame(status);
        QTest::newRow("plain") << statusFrame << 5 << status;
        QTest::newRow("hunt past garbage") << Hex("0055FAFF") + statusFrame << 5 << status;
        QTest::newRow("escapes undone") << BuildFrame(Hex("F8F9FAFBFCFDFEFF")) << 8 << Hex("F8F9FAFBFCFDFEFF");
        // 0xF9 inside the body is data; only 0xFE escapes.
        QByteArray raw = Hex("F803F9");
        const uint16_t crc = ComputeCrc16(Hex("F9"), 0, 0);
        raw.append(static_cast<char>(crc & 0xFF)).append(static_cast<char>(crc >> 8)).append('\xF9');
        QTest::newRow("end byte as data") << raw << 1 << Hex("F9");
        QTest::newRow("no start at all") << Hex("0102030405") << 5 << QByteArray();
        QTest::newRow("length one short") << statusFrame << 6 << QByteArray();
        QTest::newRow("length one long") << statusFrame << 4 << QByteArray();
        // FE 07 would be 0xFF, and the CRC 4040 fits it: only the escape range refuses it.
        QTest::newRow("escape above 6") << Hex("F803FE074040F9") << 1 << QByteArray();
        QTest::newRow("missing end") << statusFrame.left(statusFrame.size() - 1) + Hex("00") << 5 << QByteArray();
        QByteArray badCrc = statusFrame;
        badCrc[badCrc.size() - 2] = static_cast<char>(badCrc.at(badCrc.size() - 2) ^ 0x01);
        QTest::newRow("crc mismatch") << badCrc << 5 << QByteArray();
        QTest::newRow("truncated") << statusFrame.left(6) << 5 << QByteArray();
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
        QCOMPARE(port->BytesAvailable(), 0);
    }

    // A read of four bytes at 0x020100 into a buffer holding AABB: the reply
    // must echo the address; one bad reply is asked for again.
    void readBlock_data()
    {
        QTest::addColumn<QList<QByteArray>>("replies");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("requests");
        QTest::addColumn<QByteArray>("buffer");
        const QByteArray good = Ack + BuildFrame(Hex("000102 11223344"));
        QByteArray corrupt = good;
        corrupt[4] = 0x09;
        QTest::newRow("right address") << QList<QByteArray>{good} << true << 1 << Hex("AABB11223344");
        const QByteArray lowDiffers = Ack + BuildFrame(Hex("010102 11223344"));
        const QByteArray highDiffers = Ack + BuildFrame(Hex("000100 11223344"));
        QTest::newRow("low byte differs") << QList<QByteArray>{lowDiffers, lowDiffers} << false << 2
                                          << Hex("AABB00000000");
        QTest::newRow("high byte differs") << QList<QByteArray>{highDiffers, highDiffers} << false << 2
                                           << Hex("AABB00000000");
        QTest::newRow("repeated once after a bad frame") << QList<QByteArray>{corrupt, good} << true << 2
                                                         << Hex("AABB11223344");
        // Two attempts, each a send and two repeats of it.
        QTest::newRow("silent: the buffer grows with zeros") << QList<QByteArray>{} << false << 6
                                                             << Hex("AABB00000000");
    }
    void readBlock()
    {
        QFETCH(QList<QByteArray>, replies);
        QFETCH(int, requests);
        port->scriptReplies(replies);
        QByteArray read = Hex("AABB");
        QTEST(link->ReadBlock(read, 2, 4, 0x020100), "ok");
        QCOMPARE(port->writes(), QList<QByteArray>(requests, BuildFrame(Hex("0800010204"))));
        QTEST(read, "buffer");
    }

    void blockLimits_data()
    {
        QTest::addColumn<bool>("write");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("address");
        QTest::addColumn<bool>("sent");
        QTest::newRow("read count too large") << false << 0 << 243 << 0 << false;
        QTest::newRow("read beyond 24 bits") << false << 0 << 8 << (1 << 24) << false;
        QTest::newRow("largest write") << true << 0 << 238 << 0 << true;
        QTest::newRow("write to 65535") << true << 0 << 8 << 65528 << true;
        QTest::newRow("write count too large") << true << 0 << 239 << 0 << false;
        QTest::newRow("write past 65535") << true << 0 << 8 << 65529 << false;
        QTest::newRow("write beyond the buffer") << true << 250 << 8 << 0 << false;
    }
    void blockLimits()
    {
        QFETCH(bool, write);
        QFETCH(int, offset);
        QFETCH(int, count);
        QFETCH(int, address);
        QFETCH(bool, sent);
        port->scriptReplies({Ack});
        QByteArray buffer(256, '\x01');
        QCOMPARE(write ? link->WriteBlock(buffer, offset, count, address) : link->ReadBlock(buffer, offset, count, address),
                 sent);
        QCOMPARE(port->writes().size(), sent ? 1 : 0);
    }

    void writeBlockRequest()
    {
        port->scriptReplies({Ack});
        QVERIFY(link->WriteBlock(Hex("00112233445566"), 2, 3, 0x01FE));
        QCOMPARE(port->writtenData(), BuildFrame(Hex("07A77AFE010002223344")));
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
        port->feedReceived(Hex("1234")); // left over from before: flushed first
        port->scriptReplies(answers);
        QTEST(link->WakeHandshake(), "awake");
        QTEST(port->writtenData(), "sent");
    }
};

BREVEL_TEST(LoggerLinkTest)
#include "tst_loggerlink.moc"
