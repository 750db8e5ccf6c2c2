#include "TestRegistry.h"
#include "link/FrameCodec.h"
#include "link/LoggerLink.h"
#include "link/PortDirectory.h"
#include "link/PortDiscovery.h"
#include "link/QtSerialPort.h"
#include "link/ReplyTicker.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

namespace {

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

// The QSerialPort implementation over a real pseudo-terminal, announced the
// way a running virtual logger announces itself.
class QtSerialPortTest : public QObject {
    Q_OBJECT

    int master = -1;
    int slave = -1; // kept open so that the master side survives the port closing
    QTemporaryDir announcements;
    std::unique_ptr<PortDirectory> directory;
    std::unique_ptr<QtSerialPort> port;
    AppState state;
    std::unique_ptr<LoggerLink> link;
    std::unique_ptr<ReplyTicker> ticker;
    int portNumber = 0;

    void closeFd(int& fd)
    {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }

private slots:
    void init()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(master >= 0);
        QVERIFY(grantpt(master) == 0 && unlockpt(master) == 0);
        const QString slavePath = QString::fromLocal8Bit(ptsname(master));
        slave = ::open(ptsname(master), O_RDWR | O_NOCTTY);
        QVERIFY(slave >= 0);
        termios raw{};
        tcgetattr(slave, &raw);
        cfmakeraw(&raw);
        tcsetattr(slave, TCSANOW, &raw);
        QVERIFY(QFile::link(slavePath, announcements.filePath(QStringLiteral("testpty"))));

        directory = std::make_unique<PortDirectory>(announcements.path());
        const QStringList entries = DiscoverPorts(*directory).filter(QStringLiteral("Virtual logger testpty"));
        QCOMPARE(entries.size(), 1);
        portNumber = entries.first().mid(3, entries.first().indexOf(QLatin1Char(' ')) - 3).toInt();

        port = std::make_unique<QtSerialPort>(*directory);
        state.ReplyTicks = 5;
        link = std::make_unique<LoggerLink>(*port, state);
        ticker = std::make_unique<ReplyTicker>(*link, 20);
        ticker->start();
        // A pseudo-terminal has no modem lines: that does not stop the port opening.
        QVERIFY(link->OpenPort(portNumber, QStringLiteral("9600,N,8,1")));
    }
    void cleanup()
    {
        ticker.reset();
        link.reset();
        port.reset();
        directory.reset();
        closeFd(slave);
        closeFd(master);
        QFile::remove(announcements.filePath(QStringLiteral("testpty")));
    }

    void framesTravelBothWays()
    {
        // The far end answers every complete request frame with an ack and a status frame.
        const QByteArray reply = QByteArray(1, '\xFA') + BuildFrame(QByteArray::fromHex("0A000080F8"));
        QByteArray request;
        QSocketNotifier notifier(master, QSocketNotifier::Read);
        connect(&notifier, &QSocketNotifier::activated, this, [&] {
            char bytes[256];
            const ssize_t n = ::read(master, bytes, sizeof bytes);
            if (n > 0) {
                request.append(bytes, n);
                if (request.endsWith('\xF9')) {
                    QCOMPARE(::write(master, reply.constData(), reply.size()), ssize_t(reply.size()));
                }
            }
        });
        QVERIFY(link->SendFrame(QByteArray::fromHex("0C"), 2));
        QByteArray status(5, '\0');
        QVERIFY(link->ReceiveFrame(status));
        QCOMPARE(status, QByteArray::fromHex("0A000080F8"));
        QCOMPARE(request, QByteArray::fromHex("F8030C0005F9"));
    }

    void reopeningWithOtherSettingsKeepsWorking()
    {
        QVERIFY(link->OpenPort(portNumber, QStringLiteral("19200,N,8,1")));
        QCOMPARE(::write(master, "\xFC", 1), ssize_t(1));
        QCOMPARE(link->ReadReplyByte(20), 0xFC);
        QVERIFY(!link->OpenPort(portNumber, QStringLiteral("19200,Q,8,1")));
    }

    void aVanishedDeviceIsALostPortNotABusyLoop()
    {
        QSignalSpy lost(port.get(), &SerialPort::portLost);
        closeFd(slave);
        closeFd(master);
        const double cpuBefore = CpuSeconds();
        QElapsedTimer clock;
        clock.start();
        link->WaitForBytes(50, 1); // 1 s at most with 20 ms ticks
        QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(lost.count(), 1);
        QVERIFY(!port->isOpen());
        // Once closed, the port no longer floods the event loop with errors.
        link->WaitForBytes(10, 0);
        QVERIFY(CpuSeconds() - cpuBefore < 0.1);
        QVERIFY(!link->SendFrame(QByteArray::fromHex("0C"), 2));
    }

    void idleWaitCostsAlmostNoCpu()
    {
        ticker = std::make_unique<ReplyTicker>(*link, 100);
        ticker->start();
        const double cpuBefore = CpuSeconds();
        QElapsedTimer clock;
        clock.start();
        link->WaitForBytes(30, 1); // nothing comes: the whole 3 s
        const double wall = clock.elapsed() / 1000.0;
        const double share = (CpuSeconds() - cpuBefore) / wall;
        qInfo("idle wait: %.2f s wall, %.3f %% of a core", wall, share * 100);
        QVERIFY(wall >= 2.5);
        QVERIFY(share < 0.02);
    }
};

BREVEL_TEST(QtSerialPortTest)
#include "tst_qtserialport.moc"
