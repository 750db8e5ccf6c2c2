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

    // Frames both ways: the wire a payload goes out as, and what a receive
    // makes of the wire; a refused frame leaves the buffer as it was.
    void frames_data()
    {
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QByteArray>("payload"); // empty: the receive fails
        QTest::addColumn<int>("expected"); // the payload size the receive asks for
        QTest::addColumn<bool>("built"); // the wire is what a payload goes out as
        const auto both = [](const char* name, const char* payload, const char* wire) {
            QTest::newRow(name) << Hex(wire) << Hex(payload) << int(Hex(payload).size()) << true;
        };
        const auto received = [](const char* name, const QByteArray& wire, const char* payload, int expected) {
            QTest::newRow(name) << wire << Hex(payload) << expected << false;
        };
        both("read status", "0C", "F8030C0005F9");
        both("start sample", "0901", "F8040901C790F9");
        // 0xFA is escaped, 0xFF is not; the CRC E002 goes out low byte first.
        both("escaped payload", "FAFF", "F804FE02FF02E0F9");
        both("escape byte itself", "FE", "F803FE068180F9");
        // CRC C0F8: its low byte 0xF8 is escaped to FE 00.
        both("escaped crc byte", "5C01", "F8045C01FE00C0F9");
        both("every escaped byte", "F8F9FAFBFCFDFEFF", "F80AFE00FE01FE02FE03FE04FE05FE06FF37E3F9");
        const QByteArray status = Hex("F8070A000080FE00FE0043F9");
        both("status", "0A000080F8", "F8070A000080FE00FE0043F9");
        received("hunt past garbage", Hex("0055FAFF") + status, "0A000080F8", 5);
        // 0xF9 inside the body is data; only 0xFE escapes.
        received("end byte as data", Hex("F803F9C042F9"), "F9", 1);
        received("no start at all", Hex("0102030405"), "", 5);
        received("length one short", status, "", 6);
        received("length one long", status, "", 4);
        // FE 07 would be 0xFF, and the CRC 4040 fits it: only the escape range refuses it.
        received("escape above 6", Hex("F803FE074040F9"), "", 1);
        received("missing end", status.left(status.size() - 1) + Hex("00"), "", 5);
        received("crc mismatch", Hex("F8070A000080FE00FE0042F9"), "", 5);
        received("truncated", status.left(6), "", 5);
    }
    void frames()
    {
        QFETCH(QByteArray, wire);
        QFETCH(QByteArray, payload);
        QFETCH(int, expected);
        QFETCH(bool, built);
        if (built) {
            QCOMPARE(BuildFrame(payload).toHex(' '), wire.toHex(' '));
        }
        port->feedReceived(wire);
        QByteArray received(expected, '\x55');
        const bool ok = link->ReceiveFrame(received);
        QCOMPARE(ok, !payload.isEmpty());
        QCOMPARE(received, ok ? payload : QByteArray(expected, '\x55'));
        QCOMPARE(port->BytesAvailable(), 0);
    }

    // A read of four bytes at 0x020100 into a buffer holding AABB: the reply
    // must echo the address; one bad reply is asked for again. A failed read
    // leaves zeros where the bytes would be.
    void readBlock_data()
    {
        QTest::addColumn<QList<QByteArray>>("replies");
        QTest::addColumn<int>("requests");
        QTest::addColumn<QByteArray>("buffer");
        const QByteArray good = Ack + BuildFrame(Hex("000102 11223344"));
        QByteArray corrupt = good;
        corrupt[4] = 0x09; // the address no longer fits the CRC
        const QByteArray lowDiffers = Ack + BuildFrame(Hex("010102 11223344"));
        const QByteArray highDiffers = Ack + BuildFrame(Hex("000100 11223344"));
        QTest::newRow("right address") << QList<QByteArray>{good} << 1 << Hex("AABB11223344");
        QTest::newRow("low byte differs") << QList<QByteArray>{lowDiffers, lowDiffers} << 2 << Hex("AABB00000000");
        QTest::newRow("high byte differs") << QList<QByteArray>{highDiffers, highDiffers} << 2 << Hex("AABB00000000");
        QTest::newRow("repeated once after a bad frame") << QList<QByteArray>{corrupt, good} << 2 << Hex("AABB11223344");
        // Two attempts, each a send and two repeats of it.
        QTest::newRow("silent") << QList<QByteArray>{} << 6 << Hex("AABB00000000");
    }
    void readBlock()
    {
        QFETCH(QList<QByteArray>, replies);
        QFETCH(int, requests);
        QFETCH(QByteArray, buffer);
        port->scriptReplies(replies);
        QByteArray read = Hex("AABB");
        QCOMPARE(link->ReadBlock(read, 2, 4, 0x020100), buffer.endsWith(Hex("11223344")));
        QCOMPARE(port->writes(), QList<QByteArray>(requests, BuildFrame(Hex("0800010204"))));
        QCOMPARE(read, buffer);
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
