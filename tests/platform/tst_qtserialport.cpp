#include "TestRegistry.h"
#include "core/AppState.h"
#include "link/LoggerLink.h"
#include "link/PortDirectory.h"
#include "link/QtSerialPort.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A pseudo-terminal of the test's own, announced the way a running virtual
// logger announces itself, so that the port directory gives it a COM number.
struct Pty {
    Pty()
    {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
            return;
        }
        termios raw{};
        tcgetattr(slave, &raw);
        cfmakeraw(&raw);
        tcsetattr(slave, TCSANOW, &raw);
        QFile::link(QString::fromLocal8Bit(name), folder.filePath(QStringLiteral("own")));
        directory.Rescan();
        for (const NumberedPort& port : directory.Ports()) {
            if (port.Device.Name.endsWith(QStringLiteral(" own"))) {
                number = port.Number;
            }
        }
    }
    ~Pty()
    {
        ::close(master);
        ::close(slave);
    }
    termios line() const
    {
        termios t{};
        tcgetattr(slave, &t);
        return t;
    }
    QByteArray readMaster(int count) const
    {
        QByteArray bytes(count, '\0');
        int got = 0;
        for (int tries = 0; got < count && tries < 200; ++tries) {
            const ssize_t n = ::read(master, bytes.data() + got, size_t(count - got));
            if (n > 0) {
                got += int(n);
            } else {
                QTest::qWait(5);
            }
        }
        return bytes.left(got);
    }

    int master = -1;
    int slave = -1;
    QTemporaryDir folder;
    PortDirectory directory{folder.path()};
    int number = 0;
};

} // namespace

// The program's serial port over QSerialPort, on a real pseudo-terminal.
class QtSerialPortTest : public QObject {
    Q_OBJECT
private slots:
    void opensWithItsLineSettingsAndMovesBytesBothWays()
    {
        Pty pty;
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
    }

    // A pseudo-terminal has no modem lines: DTR and RTS are refused, and the
    // port stays usable; RTS flow control is a line setting it keeps.
    void modemLinesAndFlowControl()
    {
        Pty pty;
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
        Pty pty;
        QtSerialPort port(pty.directory);
        AppState state;
        LoggerLink link(port, state);
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
