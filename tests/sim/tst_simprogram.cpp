#include "SimProcess.h"
#include "TestRegistry.h"
#include "link/FrameCodec.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

// Writes the bytes and collects the answer until count bytes came or time ran out.
QByteArray Exchange(QSerialPort& port, const QByteArray& bytes, int count, int timeoutMs = 3000)
{
    port.write(bytes);
    port.waitForBytesWritten(1000);
    QByteArray answer;
    QElapsedTimer timer;
    timer.start();
    while (answer.size() < count && timer.elapsed() < timeoutMs) {
        if (port.bytesAvailable() > 0 || port.waitForReadyRead(50)) {
            answer += port.readAll();
        }
    }
    return answer;
}

QByteArray ReadFor(int fd, int ms)
{
    QByteArray bytes;
    pollfd poller{fd, POLLIN, 0};
    while (::poll(&poller, 1, ms) > 0) {
        char buffer[256];
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count <= 0) {
            break;
        }
        bytes.append(buffer, count);
    }
    return bytes;
}

} // namespace

class SimProgramTest : public QObject {
    Q_OBJECT
private slots:
    void servesTheLoggerOnAPseudoTerminal()
    {
        SimProcess sim({QStringLiteral("--name"), QStringLiteral("bench"), QStringLiteral("--records"),
                        QStringLiteral("20")});
        QVERIFY2(sim.devicePath.startsWith(QLatin1String("/dev/pts/")), qPrintable(sim.devicePath));
        QCOMPARE(sim.linkPath, sim.folder.path() + QStringLiteral("/brevel-logger-sim/bench"));
        QCOMPARE(QFile::symLinkTarget(sim.linkPath), sim.devicePath);

        for (int connection = 0; connection < 2; ++connection) { // the port can be opened again
            QSerialPort port(sim.linkPath);
            QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
            port.setBaudRate(QSerialPort::Baud38400);
            QCOMPARE(Exchange(port, "UGW", 3).toHex(' '), QByteArray("47 57 fc"));
            QCOMPARE(Exchange(port, BuildFrame(QByteArray::fromHex("0F")), 14).toHex(' '),
                     QByteArray("fa f8 0a 07 03 02 01 00 00 00 00 4e c4 f9"));
            // Status: 20 records, logging.
            QCOMPARE(Exchange(port, BuildFrame(QByteArray::fromHex("0C")), 11).mid(3, 5).toHex(' '),
                     QByteArray("14 00 00 80 00"));
            port.close();
        }
        sim.process.terminate();
        QVERIFY(sim.process.waitForFinished(5000));
        QCOMPARE(sim.process.exitStatus(), QProcess::NormalExit);
        QVERIFY(!QFile::exists(sim.linkPath)); // the link goes with the program
    }

    void leftoverRepliesDoNotReachTheNextClient()
    {
        SimProcess sim({});
        const QByteArray path = QFile::encodeName(sim.linkPath);
        int first = ::open(path.constData(), O_RDWR | O_NOCTTY);
        QVERIFY(first >= 0);
        QCOMPARE(::write(first, "U", 1), ssize_t(1));
        QTest::qWait(200); // "G" now waits, unread
        ::close(first);
        QTest::qWait(200);
        const int second = ::open(path.constData(), O_RDWR | O_NOCTTY);
        QVERIFY(second >= 0);
        QCOMPARE(ReadFor(second, 200), QByteArray());
        QCOMPARE(::write(second, "G", 1), ssize_t(1));
        QCOMPARE(ReadFor(second, 300), QByteArray("W"));
        ::close(second);
    }

    void modemInFront()
    {
        SimProcess sim({QStringLiteral("--modem"), QStringLiteral("--connect-after"), QStringLiteral("100")});
        QSerialPort port(sim.linkPath);
        QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
        QCOMPARE(Exchange(port, "ATZ\r", 10), QByteArray("ATZ\r\r\nOK\r\n"));
        QCOMPARE(Exchange(port, "ATDT5550100\r", 23), QByteArray("ATDT5550100\r\r\nCONNECT\r\n"));
        QCOMPARE(Exchange(port, "U", 1), QByteArray("G"));
        port.close();
        // Closing the port hangs up: the modem takes commands again.
        QVERIFY(port.open(QIODevice::ReadWrite));
        QTest::qWait(100);
        QCOMPARE(Exchange(port, "AT\r", 9), QByteArray("AT\r\r\nOK\r\n"));
    }

    void refusesABadCommandLine()
    {
        SimProcess sim({QStringLiteral("--analog"), QStringLiteral("9")});
        QVERIFY(sim.process.state() == QProcess::NotRunning || sim.process.waitForFinished(5000));
        QCOMPARE(sim.process.exitCode(), 1);
        QVERIFY(sim.process.readAllStandardError().contains("--analog"));
    }
};

BREVEL_TEST(SimProgramTest)
#include "tst_simprogram.moc"
