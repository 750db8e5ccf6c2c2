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
        QVERIFY(!port.Write("U")); // not open yet
        QVERIFY(port.Open());
        QVERIFY(port.Write("U"));
        QCOMPARE(port.BytesAvailable(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(port.BytesAvailable(), 1, 3000);
        QCOMPARE(port.ReadOne(), QByteArray("G"));
        QCOMPARE(port.ReadOne(), QByteArray());

        // Closing drops what is still on the line: the next answer comes alone.
        port.Write("U");
        port.Close();
        QVERIFY(port.Open());
        port.Write("G");
        QTRY_VERIFY_WITH_TIMEOUT(port.BytesAvailable() > 0, 3000);
        QCOMPARE(port.ReadAll(), QByteArray("W"));

        QSignalSpy lost(&port, &SerialPort::PortLost);
        port.PullCable();
        QCOMPARE(lost.count(), 1);
        QVERIFY(!port.Open());
        port.PlugCable();
        QVERIFY(port.Open());
        port.Write("G");
        QTRY_VERIFY_WITH_TIMEOUT(port.BytesAvailable() > 0, 3000);
        QCOMPARE(port.ReadAll(), QByteArray("W"));
    }
};

BREVEL_TEST(SimSerialPortTest)
#include "tst_simserialport.moc"
