#include "LinkRig.h"
#include "LoggerEngine.h"
#include "PtyServer.h"
#include "SimSerialPort.h"
#include "TestRegistry.h"
#include "config/DefaultSettings.h"
#include "config/SettingsImage.h"
#include "core/DateText.h"
#include "link/PortDirectory.h"
#include "link/PortDiscovery.h"
#include "link/QtSerialPort.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <sys/resource.h>

Q_DECLARE_METATYPE(FaultOptions)

namespace {

const QDateTime ComputerTime(QDate(2026, 3, 14), QTime(15, 9, 26));

// The settings image as the logger holds it in its three regions.
QByteArray ImageInLogger(const LoggerEngine& engine)
{
    QByteArray image;
    for (const SettingsRegion& region : SettingsReadRegions) {
        image += engine.Memory().Read(region.Address, region.Length);
    }
    return image;
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

// Every command against the virtual logger with faults on the line succeeds
// with what the logger really holds, or reports failure.
class LinkAgainstSimTest : public QObject {
    Q_OBJECT

    int succeeded = 0;
    int failed = 0;
    QStringList wrong;

    // Counts one operation; when it reports success, correct() must hold.
    void expect(const char* what, bool ok, const std::function<bool()>& correct)
    {
        if (!ok) {
            ++failed;
        } else if (correct()) {
            ++succeeded;
        } else {
            wrong.append(what);
        }
    }

    void exerciseEveryCommand(LinkRig<SimSerialPort>& rig, LoggerEngine& engine, int round)
    {
        LoggerStatus& state = rig.status;
        rig.settings.NumAnalogChannels = 1;
        state.FirmwareVersion = -1;
        expect("identification", rig.commands.ReadIdentification(), [&] {
            return state.FirmwareVersion == 7 && rig.settings.NumAnalogChannels == 3
                && rig.settings.NumDigitalChannels == 2;
        });
        state.RecordCount = 0xABCDEF;
        expect("status", rig.commands.ReadLoggerStatus(), [&] {
            return state.RecordCount == engine.Memory().History.size() && state.StatusWord == 0x0080;
        });
        const QString clock = rig.commands.ReadLoggerClock();
        expect("read clock", clock != QLatin1String("00/00/00 00:00:00"), [&] {
            return clock == ShortDateText(engine.LoggerTime().date()) + engine.LoggerTime().toString(" HH:mm:ss");
        });
        const QDateTime newTime(QDate(2027, 1 + round, 2 + round), QTime(round, 30, 15));
        expect("set clock", rig.commands.SetLoggerClock(newTime.toString("MM/dd/yy HH:mm:ss")),
               [&] { return engine.LoggerTime() == newTime; });
        const QString signature = QStringLiteral("SIG%1    ").arg(round).left(8);
        expect("write signature", rig.commands.WriteMemorySignature(signature),
               [&] { return engine.Memory().Read(0, 8) == signature.toLatin1(); });
        const QString readSignature = rig.commands.ReadMemorySignature();
        expect("read signature", !readSignature.isEmpty(),
               [&] { return readSignature.toLatin1() == engine.Memory().Read(0, 8); });
        // A byte no text shows (below a space, above 127) reads as a blank.
        const QString unshowable = rig.commands.WriteMemorySignature(QStringLiteral("A\x1f \x7f\x80xyz"))
                                       ? rig.commands.ReadMemorySignature()
                                       : QString();
        expect("control bytes", !unshowable.isEmpty(), [&] { return unshowable == QStringLiteral("A  \x7f xyz"); });

        ApplyDefaultSettings(rig.settings, rig.rating);
        rig.settings.NumAnalogChannels = 3;
        rig.settings.NumDigitalChannels = 2;
        rig.settings.LoggerName = QStringLiteral("Station %1").arg(round);
        const QByteArray image = *EncodeSettings(rig.settings, true);
        expect("program settings", rig.commands.ProgramSettings(), [&] { return ImageInLogger(engine) == image; });
        LoggerSettings fresh;
        RatingState freshRating;
        LoggerCommands reader(rig.link, state, fresh, freshRating);
        expect("read settings", reader.ReadSettings(), [&] {
            LoggerSettings expected;
            RatingState expectedRating;
            return DecodeSettings(ImageInLogger(engine), expected, expectedRating, true)
                && *EncodeSettings(fresh, true) == *EncodeSettings(expected, true);
        });
        expect("clear memory", rig.commands.ClearLoggerMemory(), [&] { return engine.Memory().History.empty(); });
        expect("initialise memory", rig.commands.InitialiseMemory(),
               [&] { return engine.Memory().Read(0, 8) == QByteArray(8, '\xFF'); });
    }

private slots:
    void faultsNeverGiveAWrongValue_data()
    {
        QTest::addColumn<FaultOptions>("faults");
        // Seed, then the rates of noise, lost bytes, corrupted bytes, lost acks, lost requests.
        QTest::newRow("clean line") << FaultOptions{10, 0, 0, 0, 0, 0};
        QTest::newRow("corrupted bytes") << FaultOptions{13, 0, 0, 0.01, 0, 0};
        QTest::newRow("lost acks and requests") << FaultOptions{14, 0, 0, 0, 0.2, 0.2};
        // Light enough that the settings blocks of 250 bytes get through now and then.
        QTest::newRow("light faults") << FaultOptions{19, 0.001, 0.001, 0.001, 0.05, 0.05};
        // The line goes dead in the middle of the first settings block.
        QTest::newRow("hang-up") << FaultOptions{.HangUpAfterBytes = 150};
    }
    void faultsNeverGiveAWrongValue()
    {
        QFETCH(FaultOptions, faults);
        succeeded = failed = 0;
        wrong.clear();
        LoggerOptions options;
        options.InitialiseMs = 50;
        options.Faults = faults;
        LoggerEngine engine(options, [] { return ComputerTime; });
        LinkRig<SimSerialPort> rig(engine);
        rig.state.ReplyTicks = 3;
        QVERIFY(rig.open());
        const bool clean = !faults.Any();
        QVERIFY(rig.commands.WakeLogger({}) || !clean);
        for (int round = 0; round < 3; ++round) {
            exerciseEveryCommand(rig, engine, round);
        }
        qInfo("%d succeeded, %d failed", succeeded, failed);
        QVERIFY(succeeded > 0);
        QVERIFY(failed == 0 || !clean);
        // After a hang-up everything fails until the port is opened again, which is a new call.
        QCOMPARE(engine.LineDead(), faults.HangUpAfterBytes >= 0);
        if (engine.LineDead()) {
            succeeded = 0;
            exerciseEveryCommand(rig, engine, 0);
            QCOMPARE(succeeded, 0);
            rig.link.ClosePort();
            QVERIFY(rig.open());
            QVERIFY(rig.commands.ReadLoggerStatus());
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral(", "))));
    }

    // The virtual logger on a real pty, announced, discovered, opened and woken; then an idle wait and the
    // device vanishing, both without burning the CPU. (The brevel tool's tests move blocks over this road.)
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

        LinkRig<QtSerialPort> rig(directory);
        rig.ticker.Stop();
        ReplyTicker ticker(rig.link, 10);
        ticker.Start();
        rig.state.ReplyTicks = 50; // half a second at this 10 ms tick
        QVERIFY(rig.link.OpenPort(number, QStringLiteral("38400,N,8,1")));
        QVERIFY(rig.commands.WakeLogger({}));
        QCOMPARE(int(rig.settings.NumAnalogChannels), 3);

        double cpuBefore = CpuSeconds();
        QElapsedTimer clock;
        clock.start();
        rig.link.WaitForBytes(50, 1); // nothing comes: the whole half second
        const double wall = clock.elapsed() / 1000.0;
        qInfo("idle wait: %.2f s wall, %.3f %% of a core", wall, (CpuSeconds() - cpuBefore) / wall * 100);
        QVERIFY(wall >= 0.45);
        QVERIFY(CpuSeconds() - cpuBefore < 0.02 * wall);

        // The device goes away: a lost port, not a busy loop of errors.
        QSignalSpy lost(&rig.port, &SerialPort::PortLost);
        server.reset();
        cpuBefore = CpuSeconds();
        clock.restart();
        rig.link.WaitForBytes(500, 1); // five seconds, unless the loss ends it
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(lost.count(), 1);
        QVERIFY(!rig.port.IsOpen());
        QCOMPARE(rig.port.BytesAvailable(), 0);
        rig.link.WaitForBytes(20, 0);
        QVERIFY(CpuSeconds() - cpuBefore < 0.1);
        QVERIFY(!rig.link.SendFrame(Hex("0C"), 2));
    }
};

BREVEL_TEST(LinkAgainstSimTest)
#include "tst_linkagainstsim.moc"
