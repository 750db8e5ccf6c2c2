#include "MainWindowRig.h"
#include "OwnPty.h"
#include "TestRegistry.h"
#include "app/ConnectWindow.h"
#include "link/QtSerialPort.h"

#include <QProcess>
#include <QPushButton>
#include <QSerialPort>
#include <QStandardPaths>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// setpriv's exit status when it cannot start the program.
constexpr int kCouldNotRun = 126;

// The program over the real serial port, the COM number of the pty chosen.
struct ConnectRig {
    explicit ConnectRig(OwnPty& pty) : port(pty.directory), program(&port, &pty.directory)
    {
        program.session.User.DirectPort = QStringLiteral("COM%1").arg(pty.number);
    }
    QtSerialPort port;
    MainWindowRig program;
};

} // namespace

// Why the port will not open, as the Connect window tells it. Root opens any
// device whatever its rights and another program's lock, so as root the test
// runs each case again as the user nobody.
class PortPermissionTest : public QObject {
    Q_OBJECT
private slots:
    void connectWindowSaysWhyThePortWillNotOpen_data()
    {
        QTest::addColumn<bool>("permitted");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no permission") << false
                                       << "Error: no permission to open %1.\r\n"
                                          "Add your user to the dialout group (sudo usermod -aG dialout $USER), "
                                          "then log out and in again.";
        QTest::newRow("in use") << true
                                << "Error opening port.  If this port exists, it \r\nmay be in use by another "
                                   "application.";
    }
    void connectWindowSaysWhyThePortWillNotOpen()
    {
        if (::geteuid() == 0) {
            RunAgainAsNobody();
            return;
        }
        QFETCH(bool, permitted);
        QFETCH(QString, expected);
        OwnPty pty;
        QVERIFY(pty.number > 0);
        QSerialPort otherProgram(pty.device);
        if (permitted) {
            QVERIFY(otherProgram.open(QIODevice::ReadWrite));
        } else {
            QCOMPARE(::fchmod(pty.slave, 0), 0);
        }
        ConnectRig rig(pty);
        ConnectWindow window(rig.program.session);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* connect = window.findChild<QPushButton*>(QStringLiteral("cmdConnect"));
        QVERIFY(connect);
        QTest::mouseClick(connect, Qt::LeftButton);
        QCOMPARE(rig.program.prompter.messages.size(), 1);
        QCOMPARE(rig.program.prompter.messages[0].title, QStringLiteral("Connect Error"));
        QCOMPARE(rig.program.prompter.messages[0].icon, PromptIcon::Warning);
        QCOMPARE(rig.program.prompter.messages[0].text, expected.replace(QStringLiteral("%1"), pty.device));
        QVERIFY(!rig.port.isOpen());
        QVERIFY(!rig.program.session.Connection.Connected);
    }

private:
    // This test function and data row, in this program run as nobody.
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
        child.start(setpriv, {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                              QStringLiteral("--clear-groups"), QStringLiteral("--"),
                              QCoreApplication::applicationFilePath(), QStringLiteral("PortPermissionTest"),
                              QStringLiteral("%1:%2").arg(QString::fromLatin1(QTest::currentTestFunction()),
                                                          QString::fromLatin1(QTest::currentDataTag()))});
        QVERIFY2(child.waitForFinished(60000), "the run as nobody did not end");
        const QByteArray output = child.readAll();
        if (child.exitCode() == kCouldNotRun) {
            QSKIP(qPrintable(QStringLiteral("the user nobody cannot run this test program: ") + output));
        }
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
        const QByteArray passed = "PASS   : PortPermissionTest::" + QByteArray(QTest::currentTestFunction()) + '('
            + QByteArray(QTest::currentDataTag()) + ')';
        QVERIFY2(output.contains(passed), output.constData());
    }
};

BREVEL_TEST(PortPermissionTest)
#include "tst_portpermission.moc"
