#include "LoggerEngine.h"
#include "SimSerialPort.h"
#include "TestRegistry.h"
#include "link/FrameCodec.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

namespace {

// Waits until count bytes wait in the port, or fails after the timeout.
bool WaitForBytes(SimSerialPort& port, int count, int timeoutMs = 3000)
{
    QSignalSpy arrived(&port, &SerialPort::bytesArrived);
    QElapsedTimer timer;
    timer.start();
    while (port.bytesAvailable() < count) {
        const int left = timeoutMs - static_cast<int>(timer.elapsed());
        if (left <= 0 || !arrived.wait(left)) {
            return port.bytesAvailable() >= count;
        }
    }
    return true;
}

} // namespace

class SimSerialPortTest : public QObject {
    Q_OBJECT
private slots:
    void repliesArriveThroughTheEventLoop()
    {
        LoggerEngine engine(LoggerOptions{});
        SimSerialPort port(engine, 50);
        QVERIFY(!port.write("U")); // not open yet
        QVERIFY(port.open());
        QVERIFY(port.write("U"));
        QCOMPARE(port.bytesAvailable(), 0);
        QVERIFY(WaitForBytes(port, 1));
        QCOMPARE(port.readOne(), QByteArray("G"));
        QCOMPARE(port.readOne(), QByteArray());

        // Dropping DTR restarts a half-received request: the rest is loose bytes.
        QVERIFY(port.setDtr(true));
        const QByteArray status = BuildFrame(QByteArray::fromHex("0C"));
        port.write(status.left(4));
        port.setDtr(false);
        port.write(status.mid(4) + "U");
        QVERIFY(WaitForBytes(port, 1));
        QCOMPARE(port.readAll(), QByteArray("G"));

        // Closing drops what is still on the line.
        port.write("U");
        port.close();
        QVERIFY(port.open());
        QVERIFY(!WaitForBytes(port, 1, 200));

        QSignalSpy lost(&port, &SerialPort::portLost);
        port.pullCable();
        QCOMPARE(lost.count(), 1);
        QVERIFY(!port.open());
        port.plugCable();
        QVERIFY(port.open());
        port.write("G");
        QVERIFY(WaitForBytes(port, 1));
        QCOMPARE(port.readAll(), QByteArray("W"));
    }

    void repliesTakeTheirTime_data()
    {
        QTest::addColumn<int>("latencyMs");
        QTest::addColumn<int>("baud");
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("minimumMs");
        // The identification reply is 14 bytes: 140 bits.
        const QByteArray identify = BuildFrame(QByteArray::fromHex("0F"));
        const QByteArray identity = QByteArray::fromHex("FAF80A07030201000000004EC4F9");
        QTest::newRow("latency") << 150 << 0 << identify << identity << 150;
        QTest::newRow("1200 baud") << 0 << 1200 << identify << identity << 116;
        QTest::newRow("initialisation done comes later")
            << 0 << 0 << BuildFrame(QByteArray::fromHex("06A66A00000002")) << QByteArray::fromHex("FAFC") << 300;
    }
    void repliesTakeTheirTime()
    {
        QFETCH(int, latencyMs);
        QFETCH(int, baud);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, reply);
        QFETCH(int, minimumMs);
        LoggerOptions options;
        options.InitialiseMs = 300;
        LoggerEngine engine(options);
        SimSerialPort port(engine, latencyMs, baud);
        QVERIFY(port.open());
        QElapsedTimer timer;
        timer.start();
        port.write(request);
        QVERIFY(WaitForBytes(port, 1));
        QVERIFY(port.bytesAvailable() < reply.size() || baud == 0); // at a baud rate it trickles in
        QVERIFY(WaitForBytes(port, static_cast<int>(reply.size())));
        QVERIFY2(timer.elapsed() >= minimumMs, qPrintable(QString::number(timer.elapsed())));
        QVERIFY2(timer.elapsed() < minimumMs + 1000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(port.readAll(), reply);
    }
};

BREVEL_TEST(SimSerialPortTest)
#include "tst_simserialport.moc"
