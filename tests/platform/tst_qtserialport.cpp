#include "OwnPty.h"
#include "TestRegistry.h"
#include "core/ProgramOptions.h"
#include "link/LinkState.h"
#include "link/LoggerLink.h"
#include "link/QtSerialPort.h"

#include <QSignalSpy>
#include <QTest>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

// The program's serial port over QSerialPort, on a real pseudo-terminal.
class QtSerialPortTest : public QObject {
    Q_OBJECT
private slots:
    void opensWithItsLineSettingsAndMovesBytesBothWays()
    {
        OwnPty pty;
        QVERIFY(pty.number > 0);
        fcntl(pty.master, F_SETFL, fcntl(pty.master, F_GETFL) | O_NONBLOCK);
        QtSerialPort port(pty.directory);
        port.setPortNumber(pty.number);
        port.setLineSettings(QStringLiteral("9600,N,8,1"));
        QVERIFY(port.open());
        QVERIFY(port.isOpen());
        const termios line = pty.line();
        QCOMPARE(cfgetospeed(&line), speed_t(B9600));
        QCOMPARE(line.c_cflag & CSIZE, tcflag_t(CS8));
        QVERIFY(!(line.c_cflag & (PARENB | CSTOPB)));

        QVERIFY(port.write(QByteArray("UGW\xFC", 4)));
        QCOMPARE(pty.readMaster(4), QByteArray("UGW\xFC", 4));
        QVERIFY(port.writeText(QStringLiteral("ATZ\r")));
        QCOMPARE(pty.readMaster(4), QByteArray("ATZ\r"));

        QSignalSpy arrived(&port, &SerialPort::bytesArrived);
        QCOMPARE(::write(pty.master, "G\x13\x11W", 4), ssize_t(4));
        QTRY_COMPARE(port.bytesAvailable(), 4); // no software flow control eats 0x11 and 0x13
        QVERIFY(!arrived.isEmpty());
        QCOMPARE(port.readOne(), QByteArray("G"));
        QCOMPARE(port.readAll(), QByteArray("\x13\x11W"));
        QCOMPARE(::write(pty.master, "stale", 5), ssize_t(5));
        QTRY_COMPARE(port.bytesAvailable(), 5);
        port.discardInput();
        QCOMPARE(port.bytesAvailable(), 0);

        port.close();
        QVERIFY(!port.isOpen());
        QVERIFY(!port.write("x"));
        port.setPortNumber(pty.number + 1); // nothing there
        QVERIFY(!port.open());
        QCOMPARE(port.lastOpenError().reason, SerialPort::OpenFailure::NoDevice);
    }

    // A pseudo-terminal has no modem lines: DTR and RTS are refused, and the
    // port stays usable; RTS flow control is a line setting it keeps.
    void modemLinesAndFlowControl()
    {
        OwnPty pty;
        QtSerialPort port(pty.directory);
        port.setPortNumber(pty.number);
        port.setLineSettings(QStringLiteral("38400,N,8,1"));
        QVERIFY(port.open());
        QVERIFY(!port.setDtr(true));
        QVERIFY(!port.setRts(true));
        QVERIFY(port.isOpen());
        QVERIFY(port.setFlowControl(SerialPort::FlowControl::Rts));
        QVERIFY(pty.line().c_cflag & CRTSCTS);
        QVERIFY(port.setFlowControl(SerialPort::FlowControl::None));
        QVERIFY(!(pty.line().c_cflag & CRTSCTS));
        port.close();
        QVERIFY(!port.setDtr(false));
        QVERIFY(!port.setFlowControl(SerialPort::FlowControl::None));
    }

    // The link's open reuses an open port with the same settings (only its
    // input is thrown away) and opens it afresh for other settings.
    void linkReusesOrReopens()
    {
        OwnPty pty;
        QtSerialPort port(pty.directory);
        LinkState state;
        ProgramOptions options;
        LoggerLink link(port, state, options);
        QVERIFY(link.OpenPort(pty.number, QStringLiteral("9600,N,8,1")));
        QCOMPARE(::write(pty.master, "old", 3), ssize_t(3));
        QTRY_COMPARE(port.bytesAvailable(), 3);
        QVERIFY(link.OpenPort(pty.number, QStringLiteral("9600,N,8,1")));
        QCOMPARE(port.bytesAvailable(), 0);
        termios line = pty.line();
        QCOMPARE(cfgetospeed(&line), speed_t(B9600));
        QVERIFY(link.OpenPort(pty.number, QStringLiteral("38400,N,8,1")));
        line = pty.line();
        QCOMPARE(cfgetospeed(&line), speed_t(B38400));
        QCOMPARE(port.lineSettings(), QStringLiteral("38400,N,8,1"));
        link.ClosePort();
        QVERIFY(!port.isOpen());
        QVERIFY(!link.OpenPort(pty.number, QStringLiteral("fast,N,8,1")));
    }
};

BREVEL_TEST(QtSerialPortTest)
#include "tst_qtserialport.moc"
