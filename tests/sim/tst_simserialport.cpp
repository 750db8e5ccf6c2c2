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

LoggerOptions Quick()
{
    LoggerOptions options;
    options.HistoryRecords = 0;
    options.InitialiseMs = 0;
    return options;
}

} // namespace

class SimSerialPortTest : public QObject {
    Q_OBJECT
private slots:
    void repliesArriveThroughTheEventLoop()
    {
        LoggerEngine engine(Quick());
        SimSerialPort port(engine);
        QVERIFY(!port.write("U")); // not open yet
        QVERIFY(port.open());
        QVERIFY(port.write("U"));
        QCOMPARE(port.bytesAvailable(), 0);
        QVERIFY(WaitForBytes(port, 1));
        QCOMPARE(port.readOne(), QByteArray("G"));
        QCOMPARE(port.readOne(), QByteArray());

        QVERIFY(port.write(BuildFrame(QByteArray::fromHex("0C"))));
        QVERIFY(WaitForBytes(port, 11));
        QCOMPARE(port.readOne(), QByteArray::fromHex("FA"));
        QCOMPARE(port.readAll().size(), 10);
    }

    void latencyAndBaudRateDelayTheReply_data()
    {
        QTest::addColumn<int>("latencyMs");
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("minimumMs");
        // The identification reply is 14 bytes: 140 bits.
        QTest::newRow("latency") << 150 << 0 << 150;
        QTest::newRow("1200 baud") << 0 << 1200 << 116;
        QTest::newRow("both") << 100 << 1200 << 216;
    }
    void latencyAndBaudRateDelayTheReply()
    {
        QFETCH(int, latencyMs);
        QFETCH(int, baud);
        QFETCH(int, minimumMs);
        LoggerEngine engine(Quick());
        SimSerialPort port(engine, latencyMs, baud);
        QVERIFY(port.open());
        QElapsedTimer timer;
        timer.start();
        port.write(BuildFrame(QByteArray::fromHex("0F")));
        QVERIFY(WaitForBytes(port, 1));
        QVERIFY(port.bytesAvailable() < 14 || baud == 0);
        QVERIFY(WaitForBytes(port, 14));
        QVERIFY2(timer.elapsed() >= minimumMs, qPrintable(QString::number(timer.elapsed())));
        QVERIFY2(timer.elapsed() < minimumMs + 1000, qPrintable(QString::number(timer.elapsed())));
    }

    void initialisationDoneComesLater()
    {
        LoggerOptions options = Quick();
        options.InitialiseMs = 300;
        LoggerEngine engine(options);
        SimSerialPort port(engine);
        QVERIFY(port.open());
        QElapsedTimer timer;
        timer.start();
        port.write(BuildFrame(QByteArray::fromHex("06A66A00000002")));
        QVERIFY(WaitForBytes(port, 1));
        QCOMPARE(port.readAll(), QByteArray::fromHex("FA"));
        QVERIFY(WaitForBytes(port, 1));
        QCOMPARE(port.readAll(), QByteArray::fromHex("FC"));
        QVERIFY(timer.elapsed() >= 300);
    }

    void closingDropsWhatIsStillOnTheLine()
    {
        LoggerEngine engine(Quick());
        SimSerialPort port(engine, 50);
        QVERIFY(port.open());
        port.write("U");
        port.close();
        QVERIFY(port.open());
        QVERIFY(!WaitForBytes(port, 1, 200));
    }

    void pulledCableLosesThePort()
    {
        LoggerEngine engine(Quick());
        SimSerialPort port(engine);
        QSignalSpy lost(&port, &SerialPort::portLost);
        QVERIFY(port.open());
        port.pullCable();
        QCOMPARE(lost.count(), 1);
        QVERIFY(!port.isOpen());
        QVERIFY(!port.open());
        port.plugCable();
        QVERIFY(port.open());
        port.write("G");
        QVERIFY(WaitForBytes(port, 1));
        QCOMPARE(port.readAll(), QByteArray("W"));
    }

    void droppingDtrRestartsAHalfReceivedRequest()
    {
        LoggerEngine engine(Quick());
        SimSerialPort port(engine);
        QVERIFY(port.open());
        QVERIFY(port.setDtr(true));
        const QByteArray status = BuildFrame(QByteArray::fromHex("0C"));
        port.write(status.left(4));
        port.setDtr(false);
        port.write(status.mid(4) + "U");
        QVERIFY(WaitForBytes(port, 1));
        QCOMPARE(port.readAll(), QByteArray("G")); // the rest of the old frame was loose bytes
    }
};

BREVEL_TEST(SimSerialPortTest)
#include "tst_simserialport.moc"
