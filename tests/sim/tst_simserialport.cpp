#include "LoggerEngine.h"
#include "SimSerialPort.h"
#include "TestRegistry.h"

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
};

BREVEL_TEST(SimSerialPortTest)
#include "tst_simserialport.moc"
