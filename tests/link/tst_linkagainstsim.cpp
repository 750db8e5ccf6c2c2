#include "TestRegistry.h"
#include "LoggerEngine.h"
#include "SimSerialPort.h"
#include "config/DefaultSettings.h"
#include "config/LoggerSettings.h"
#include "config/SettingsImage.h"
#include "core/DateText.h"
#include "flow/Rating.h"
#include "link/LoggerCommands.h"
#include "link/LoggerLink.h"
#include "link/ReplyTicker.h"

#include <QTest>
#include <functional>
#include <memory>

namespace {

const QDateTime ComputerTime(QDate(2026, 3, 14), QTime(15, 9, 26));

QString ClockText(const QDateTime& time)
{
    return ShortDateText(time.date()) + time.toString(QStringLiteral(" HH:mm:ss"));
}

// The settings image as the logger holds it in its three regions.
QByteArray ImageInLogger(const LoggerEngine& engine)
{
    QByteArray image;
    for (const SettingsRegion& region : SettingsReadRegions) {
        image += engine.memory().read(region.Address, region.Length);
    }
    return image;
}

} // namespace

// Every command against the virtual logger with faults on the line: each
// operation either succeeds with what the logger really holds or reports
// failure. A wrong value reported as success fails the test.
class LinkAgainstSimTest : public QObject {
    Q_OBJECT

    struct Rig {
        LoggerEngine engine;
        SimSerialPort port;
        AppState state;
        LoggerSettings settings;
        RatingState rating;
        LoggerLink link{port, state};
        LoggerCommands commands{link, state, settings, rating};
        ReplyTicker ticker{link, 4};

        explicit Rig(const LoggerOptions& options)
            : engine(options, [] { return ComputerTime; }), port(engine)
        {
            state.ReplyTicks = 3;
            ticker.start();
        }
    };

    struct Tally {
        int succeeded = 0;
        int failed = 0;
        QStringList wrong;
    };

    // Runs one operation; when it reports success, correct() must hold.
    static void Expect(Tally& tally, const QString& what, bool ok, const std::function<bool()>& correct)
    {
        if (!ok) {
            ++tally.failed;
        } else if (correct()) {
            ++tally.succeeded;
        } else {
            tally.wrong.append(what);
        }
    }

    static Tally ExerciseEveryCommand(Rig& rig, int rounds)
    {
        Tally tally;
        LoggerCommands& commands = rig.commands;
        AppState& state = rig.state;
        LoggerEngine& engine = rig.engine;
        for (int round = 0; round < rounds; ++round) {
            const QString tag = QStringLiteral(" (round %1)").arg(round);

            rig.settings.NumAnalogChannels = 1;
            rig.settings.NumDigitalChannels = 0;
            state.FirmwareVersion = -1;
            Expect(tally, QStringLiteral("identification") + tag, commands.ReadIdentification(), [&] {
                return state.FirmwareVersion == 7 && rig.settings.NumAnalogChannels == 3
                    && rig.settings.NumDigitalChannels == 2 && rig.settings.SodSupported;
            });

            state.RecordCount = 0xABCDEF;
            state.StatusWord = 0;
            Expect(tally, QStringLiteral("status") + tag, commands.ReadLoggerStatus(), [&] {
                return state.RecordCount == engine.memory().History.size() && state.StatusWord == 0x0080
                    && state.LoggingStateText == QLatin1String("Logging");
            });

            const QString clock = commands.ReadLoggerClock();
            Expect(tally, QStringLiteral("read clock") + tag, clock != QLatin1String("00/00/00 00:00:00"),
                   [&] { return clock == ClockText(engine.loggerTime()); });

            const QDateTime newTime(QDate(2027, 1 + round % 12, 2 + round), QTime(round % 24, 30, 15));
            Expect(tally, QStringLiteral("set clock") + tag,
                   commands.SetLoggerClock(newTime.toString(QStringLiteral("MM/dd/yy HH:mm:ss"))),
                   [&] { return engine.loggerTime() == newTime; });

            const QString signature = QStringLiteral("SIG%1    ").arg(round).left(8);
            Expect(tally, QStringLiteral("write signature") + tag, commands.WriteMemorySignature(signature),
                   [&] { return engine.memory().read(0, 8) == signature.toLatin1(); });
            const QString readSignature = commands.ReadMemorySignature();
            Expect(tally, QStringLiteral("read signature") + tag, !readSignature.isEmpty(),
                   [&] { return readSignature.toLatin1() == engine.memory().read(0, 8); });

            ApplyDefaultSettings(rig.settings, rig.rating);
            rig.settings.NumAnalogChannels = 3;
            rig.settings.NumDigitalChannels = 2;
            rig.settings.LoggerName = QStringLiteral("Station %1").arg(round);
            rig.settings.ManningsN = 0.011 + round * 0.001;
            const QByteArray image = *EncodeSettings(rig.settings, true);
            Expect(tally, QStringLiteral("program settings") + tag, commands.ProgramSettings(),
                   [&] { return ImageInLogger(engine) == image; });
            Expect(tally, QStringLiteral("confirm settings") + tag, commands.ConfirmSettings(), [] { return true; });

            LoggerSettings fresh;
            fresh.LoggerName = QStringLiteral("untouched");
            RatingState freshRating;
            LoggerCommands reader(rig.link, state, fresh, freshRating);
            Expect(tally, QStringLiteral("read settings") + tag, reader.ReadSettings(), [&] {
                LoggerSettings expected;
                RatingState expectedRating;
                return DecodeSettings(ImageInLogger(engine), expected, expectedRating, true)
                    && *EncodeSettings(fresh, true) == *EncodeSettings(expected, true);
            });

            Expect(tally, QStringLiteral("reset pulses") + tag, commands.ResetPulseAccumulators(), [] { return true; });
            if (round == rounds - 1) {
                Expect(tally, QStringLiteral("clear memory") + tag, commands.ClearLoggerMemory(),
                       [&] { return engine.memory().History.empty(); });
                Expect(tally, QStringLiteral("initialise memory") + tag, commands.InitialiseMemory(),
                       [&] { return engine.memory().read(0, 8) == QByteArray(8, '\xFF'); });
            }
        }
        return tally;
    }

private slots:
    void cleanLineSucceedsEverywhere()
    {
        LoggerOptions options;
        options.InitialiseMs = 50;
        Rig rig(options);
        QVERIFY(rig.link.OpenPort(1, QStringLiteral("9600,N,8,1")));
        QVERIFY(rig.commands.WakeLogger({}));
        const Tally tally = ExerciseEveryCommand(rig, 2);
        QVERIFY2(tally.wrong.isEmpty(), qPrintable(tally.wrong.join(QStringLiteral(", "))));
        QCOMPARE(tally.failed, 0);
    }

    void faultsNeverGiveAWrongValue_data()
    {
        QTest::addColumn<FaultOptions>("faults");
        auto faults = [](uint32_t seed, double noise, double lose, double corrupt, double ack, double request) {
            FaultOptions f;
            f.Seed = seed;
            f.NoiseRate = noise;
            f.LoseByteRate = lose;
            f.CorruptRate = corrupt;
            f.LoseAckRate = ack;
            f.LoseRequestRate = request;
            return f;
        };
        QTest::newRow("noise") << faults(11, 0.02, 0, 0, 0, 0);
        QTest::newRow("lost bytes") << faults(12, 0, 0.01, 0, 0, 0);
        QTest::newRow("corrupted bytes") << faults(13, 0, 0, 0.01, 0, 0);
        QTest::newRow("lost acknowledgements") << faults(14, 0, 0, 0, 0.2, 0);
        QTest::newRow("lost requests") << faults(15, 0, 0, 0, 0, 0.2);
        QTest::newRow("everything at once") << faults(16, 0.01, 0.005, 0.005, 0.1, 0.1);
        QTest::newRow("everything, other seed") << faults(17, 0.01, 0.005, 0.005, 0.1, 0.1);
        // Light enough that the settings blocks of 250 bytes get through now and then.
        QTest::newRow("light faults") << faults(19, 0.001, 0.001, 0.001, 0.05, 0.05);
        QTest::newRow("heavy corruption") << faults(18, 0, 0, 0.05, 0, 0);
    }
    void faultsNeverGiveAWrongValue()
    {
        QFETCH(FaultOptions, faults);
        LoggerOptions options;
        options.InitialiseMs = 50;
        options.Faults = faults;
        Rig rig(options);
        QVERIFY(rig.link.OpenPort(1, QStringLiteral("9600,N,8,1")));
        rig.commands.WakeLogger({});
        const Tally tally = ExerciseEveryCommand(rig, 3);
        qInfo("%d succeeded, %d failed", tally.succeeded, tally.failed);
        QVERIFY2(tally.wrong.isEmpty(), qPrintable(tally.wrong.join(QStringLiteral(", "))));
        QVERIFY(tally.succeeded > 0);
    }

    void hangUpFailsEverythingUntilReconnected()
    {
        LoggerOptions options;
        options.Faults.HangUpAfterBytes = 150; // in the middle of the first settings block
        Rig rig(options);
        QVERIFY(rig.link.OpenPort(1, QStringLiteral("9600,N,8,1")));
        QVERIFY(rig.commands.ReadLoggerStatus());
        QVERIFY(!rig.commands.ReadSettings());
        QVERIFY(rig.engine.lineDead());
        const Tally tally = ExerciseEveryCommand(rig, 1);
        QVERIFY2(tally.wrong.isEmpty(), qPrintable(tally.wrong.join(QStringLiteral(", "))));
        QCOMPARE(tally.succeeded, 0);

        // Closing and opening the port is a new call: the line is back.
        rig.link.ClosePort();
        QVERIFY(rig.link.OpenPort(1, QStringLiteral("9600,N,8,1")));
        QVERIFY(rig.commands.ReadLoggerStatus());
    }
};

Q_DECLARE_METATYPE(FaultOptions)

BREVEL_TEST(LinkAgainstSimTest)
#include "tst_linkagainstsim.moc"
