#include "TestRegistry.h"
#include "LoggerEngine.h"
#include "PtyServer.h"
#include "config/LoggerSettings.h"
#include "config/Rating.h"
#include "link/LoggerCommands.h"
#include "link/LoggerLink.h"
#include "link/LoggerStatus.h"
#include "link/PortDirectory.h"
#include "link/PortDiscovery.h"
#include "link/QtSerialPort.h"
#include "link/ReplyTicker.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <sys/resource.h>

namespace {

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

// The whole road over a real pseudo-terminal: the virtual logger served on
// a pty and announced as a running simulator announces itself, found by port
// discovery, opened with QSerialPort and woken (the brevel tool's tests move
// whole blocks over the same road); then an idle wait and the device
// vanishing, both without burning the CPU.
class LinkOverPtyTest : public QObject {
    Q_OBJECT
private slots:
    void wholeRoadOverAPseudoTerminal()
    {
        LoggerEngine engine{LoggerOptions{}};
        auto server = std::make_unique<PtyServer>(engine, 5, 38400);
        QString error;
        QVERIFY2(server->Start(&error), qPrintable(error));
        QTemporaryDir announcements;
        QVERIFY2(server->Announce(announcements.filePath(QStringLiteral("e2e")), &error), qPrintable(error));

        PortDirectory directory(announcements.path());
        const QStringList entries = DiscoverPorts(directory).filter(QStringLiteral("Virtual logger e2e"));
        QCOMPARE(entries.size(), 1);
        const int number = entries.first().mid(3, entries.first().indexOf(QLatin1Char(' ')) - 3).toInt();

        QtSerialPort port(directory);
        LinkState state;
        ProgramOptions programOptions;
        LoggerStatus status;
        state.ReplyTicks = 50; // half a second at the 10 ms tick below
        LoggerSettings settings;
        RatingState rating;
        LoggerLink link(port, state, programOptions);
        LoggerCommands commands(link, status, settings, rating);
        ReplyTicker ticker(link, 10);
        ticker.Start();

        QVERIFY(link.OpenPort(number, QStringLiteral("38400,N,8,1")));
        QVERIFY(commands.WakeLogger({}));
        QCOMPARE(int(settings.NumAnalogChannels), 3);

        double cpuBefore = CpuSeconds();
        QElapsedTimer clock;
        clock.start();
        link.WaitForBytes(50, 1); // nothing comes: the whole half second
        const double wall = clock.elapsed() / 1000.0;
        qInfo("idle wait: %.2f s wall, %.3f %% of a core", wall, (CpuSeconds() - cpuBefore) / wall * 100);
        QVERIFY(wall >= 0.45);
        QVERIFY(CpuSeconds() - cpuBefore < 0.02 * wall);

        // The device goes away: a lost port, not a busy loop of errors.
        QSignalSpy lost(&port, &SerialPort::PortLost);
        server.reset();
        cpuBefore = CpuSeconds();
        clock.restart();
        link.WaitForBytes(500, 1); // five seconds, unless the loss ends it
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(lost.count(), 1);
        QVERIFY(!port.IsOpen());
        QCOMPARE(port.BytesAvailable(), 0);
        link.WaitForBytes(20, 0);
        QVERIFY(CpuSeconds() - cpuBefore < 0.1);
        QVERIFY(!link.SendFrame(QByteArray::fromHex("0C"), 2));
    }
};

BREVEL_TEST(LinkOverPtyTest)
#include "tst_linkoverpty.moc"
