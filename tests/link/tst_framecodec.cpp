#include "TestRegistry.h"
#include "link/FrameCodec.h"

#include <QTest>

class FrameCodecTest : public QObject {
    Q_OBJECT
private slots:
    void requestFramesMatchTheWire_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("read clock") << QByteArray::fromHex("00") << QByteArray::fromHex("F8030000 00F9");
        QTest::newRow("read status") << QByteArray::fromHex("0C") << QByteArray::fromHex("F8030C0005F9");
        QTest::newRow("identification") << QByteArray::fromHex("0F") << QByteArray::fromHex("F8030F4004F9");
        QTest::newRow("start sample") << QByteArray::fromHex("0901") << QByteArray::fromHex("F8040901C790F9");
        QTest::newRow("clear memory") << QByteArray::fromHex("04A44A") << QByteArray::fromHex("F80504A44ABAF6F9");
        QTest::newRow("read 242 at 8") << QByteArray::fromHex("08080000F2")
                                       << QByteArray::fromHex("F80708080000F26224F9");
        // 0xFA is escaped, 0xFF is not; the CRC E002 goes out low byte first.
        QTest::newRow("escaped payload") << QByteArray::fromHex("FAFF") << QByteArray::fromHex("F804FE02FF02E0F9");
        // CRC C0F8: its low byte 0xF8 is escaped to FE 00.
        QTest::newRow("escaped crc byte") << QByteArray::fromHex("5C01") << QByteArray::fromHex("F8045C01FE00C0F9");
    }
    void requestFramesMatchTheWire()
    {
        QFETCH(QByteArray, payload);
        QFETCH(QByteArray, frame);
        QCOMPARE(BuildFrame(payload).toHex(' '), frame.toHex(' '));
    }

    void crcValues()
    {
        QCOMPARE(ComputeCrc16(QByteArray("123456789"), 0, 8), uint16_t(0xBB3D));
        QCOMPARE(ComputeCrc16(QByteArray::fromHex("00"), 0, 0), uint16_t(0x0000));
        QCOMPARE(ComputeCrc16(QByteArray::fromHex("0C"), 0, 0), uint16_t(0x0500));
        QCOMPARE(ComputeCrc16(QByteArray::fromHex("0C"), 1, 0), uint16_t(0));
    }
};

BREVEL_TEST(FrameCodecTest)
#include "tst_framecodec.moc"
