#include "OwnPty.h"
#include "TestRegistry.h"
#include "core/ProgramOptions.h"
#include "link/LinkState.h"
#include "link/LoggerLink.h"
#include "link/OpenPortMessage.h"
#include "link/QtSerialPort.h"

#include <QProcess>
#include <QSerialPort>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

class QtSerialPortTest : public QObject {
    Q_OBJECT
private slots:
    // Opened with its line settings, the port moves bytes both ways and keeps the flow control asked for. The
    // link's open reuses an open port with the same settings (throwing its input away), reopens it for others.
    void opensMovesBytesAndIsReusedByTheLink()
    {
        OwnPty pty;
        QtSerialPort port(pty.directory);
        port.SetPortNumber(pty.number);
        port.SetLineSettings(QStringLiteral("9600,N,8,1"));
        QVERIFY(port.Open());
        termios line = pty.line();
        QCOMPARE(cfgetospeed(&line), speed_t(B9600));
        QCOMPARE(line.c_cflag & CSIZE, tcflag_t(CS8));
        QVERIFY(!(line.c_cflag & (PARENB | CSTOPB)));

        QVERIFY(port.WriteText(QStringLiteral("ATZ\r")));
        QCOMPARE(pty.readMaster(4), QByteArray("ATZ\r"));
        QSignalSpy arrived(&port, &SerialPort::BytesArrived);
        QCOMPARE(::write(pty.master, "G\x13\x11W", 4), ssize_t(4));
        QTRY_COMPARE(port.BytesAvailable(), 4); // no software flow control eats 0x11 and 0x13
        QVERIFY(!arrived.isEmpty());
        QCOMPARE(port.ReadOne(), QByteArray("G"));
        QCOMPARE(port.ReadAll(), QByteArray("\x13\x11W"));

        // A pty has no modem lines: DTR and RTS are refused, the port stays usable, and RTS flow control is kept.
        QVERIFY(!port.SetDtr(true));
        QVERIFY(!port.SetRts(true));
        QVERIFY(port.SetFlowControl(SerialPort::FlowControl::Rts));
        QVERIFY(pty.line().c_cflag & CRTSCTS);
        QVERIFY(port.SetFlowControl(SerialPort::FlowControl::None));
        QVERIFY(!(pty.line().c_cflag & CRTSCTS));

        LinkState state;
        ProgramOptions options;
        LoggerLink link(port, state, options);
        QCOMPARE(::write(pty.master, "old", 3), ssize_t(3));
        QTRY_COMPARE(port.BytesAvailable(), 3);
        QVERIFY(link.OpenPort(pty.number, QStringLiteral("9600,N,8,1")));
        QCOMPARE(port.BytesAvailable(), 0);
        QVERIFY(link.OpenPort(pty.number, QStringLiteral("38400,N,8,1")));
        line = pty.line();
        QCOMPARE(cfgetospeed(&line), speed_t(B38400));
        link.ClosePort();
        QVERIFY(!port.IsOpen());
        QVERIFY(!port.Write("x"));
        QVERIFY(!port.SetFlowControl(SerialPort::FlowControl::None));
        QVERIFY(!link.OpenPort(pty.number, QStringLiteral("fast,N,8,1")));
        port.SetPortNumber(pty.number + 1); // nothing there
        QVERIFY(!port.Open());
        QCOMPARE(port.LastOpenError().Reason, SerialPort::OpenFailure::NoDevice);
    }

    // Why the port will not open, in the user's words. Root opens any device whatever its rights and another
    // program's lock, so as root each row runs again as the user nobody.
    void saysWhyThePortWillNotOpen_data()
    {
        QTest::addColumn<SerialPort::OpenFailure>("failure");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no permission") << SerialPort::OpenFailure::NoPermission
                                       << "Error: no permission to open %1.\r\n"
                                          "Add your user to the dialout group (sudo usermod -aG dialout $USER), "
                                          "then log out and in again.";
        QTest::newRow("in use") << SerialPort::OpenFailure::InUse
                                << "Error opening port.  If this port exists, it \r\nmay be in use by another "
                                   "application.";
    }
    void saysWhyThePortWillNotOpen()
    {
        if (::geteuid() == 0) {
            RunAgainAsNobody();
            return;
        }
        QFETCH(SerialPort::OpenFailure, failure);
        QFETCH(QString, expected);
        OwnPty pty;
        QSerialPort otherProgram(pty.device);
        if (failure == SerialPort::OpenFailure::InUse) {
            QVERIFY(otherProgram.open(QIODevice::ReadWrite));
        } else {
            QCOMPARE(::fchmod(pty.slave, 0), 0);
        }
        QtSerialPort port(pty.directory);
        port.SetPortNumber(pty.number);
        port.SetLineSettings(QStringLiteral("38400,N,8,1"));
        QVERIFY(!port.Open());
        QCOMPARE(port.LastOpenError().Reason, failure);
        QCOMPARE(OpenPortFailureText(port.LastOpenError()), expected.replace(QStringLiteral("%1"), pty.device));
    }

private:
    static void RunAgainAsNobody()
    {
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty()) {
            QSKIP("setpriv (util-linux) is needed to run this as a user who is not root");
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("XDG_RUNTIME_DIR")); // root's, which nobody may not use
        environment.insert(QStringLiteral("HOME"), QStringLiteral("/tmp"));
        QProcess child;
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        const QString test = QString::fromLatin1(QTest::currentTestFunction()) + ':' + QTest::currentDataTag();
        child.start(setpriv, {"--reuid=nobody", "--regid=nogroup", "--clear-groups", "--",
                              QCoreApplication::applicationFilePath(), "QtSerialPortTest", test});
        QVERIFY2(child.waitForFinished(60000), "the run as nobody did not end");
        const QByteArray output = child.readAll();
        if (child.exitCode() == 126) { // setpriv could not start the program
            QSKIP(qPrintable(QStringLiteral("the user nobody cannot run this test program: ") + output));
        }
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
        QVERIFY2(output.contains("PASS   : QtSerialPortTest::" + test.toLatin1().replace(':', '(') + ')'),
                 output.constData());
    }
};

BREVEL_TEST(QtSerialPortTest)
#include "tst_qtserialport.moc"
