#include "LoggerEngine.h"
#include "SimSerialPort.h"
#include "TestRegistry.h"

#include <QSignalSpy>
#include <QTest>

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
        QTRY_COMPARE_WITH_TIMEOUT(port.bytesAvailable(), 1, 3000);
        QCOMPARE(port.readOne(), QByteArray("G"));
        QCOMPARE(port.readOne(), QByteArray());

        // Closing drops what is still on the line: the next answer comes alone.
        port.write("U");
        port.close();
        QVERIFY(port.open());
        port.write("G");
        QTRY_VERIFY_WITH_TIMEOUT(port.bytesAvailable() > 0, 3000);
        QCOMPARE(port.readAll(), QByteArray("W"));

        QSignalSpy lost(&port, &SerialPort::portLost);
        port.pullCable();
        QCOMPARE(lost.count(), 1);
        QVERIFY(!port.open());
        port.plugCable();
        QVERIFY(port.open());
        port.write("G");
        QTRY_VERIFY_WITH_TIMEOUT(port.bytesAvailable() > 0, 3000);
        QCOMPARE(port.readAll(), QByteArray("W"));
    }
};

BREVEL_TEST(SimSerialPortTest)
#include "tst_simserialport.moc"
