#include "LinkRig.h"
#include "LoggerEngine.h"
#include "SimSerialPort.h"
#include "TestRegistry.h"
#include "config/DefaultSettings.h"
#include "config/SettingsImage.h"
#include "core/DateText.h"

#include <QTest>
#include <functional>

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

} // namespace

// Every command against the virtual logger with faults on the line: each
// operation either succeeds with what the logger really holds or reports
// failure. A wrong value reported as success fails the test.
class LinkAgainstSimTest : public QObject {
    Q_OBJECT

    struct Rig : LinkRig<SimSerialPort> {
        LoggerEngine& engine;
        explicit Rig(LoggerEngine& loggerEngine) : LinkRig<SimSerialPort>(loggerEngine), engine(loggerEngine)
        {
            state.ReplyTicks = 3;
        }
    };

    int succeeded = 0;
    int failed = 0;
    QStringList wrong;

    // Counts one operation; when it reports success, correct() must hold.
    void expect(const QString& what, bool ok, const std::function<bool()>& correct)
    {
        if (!ok) {
            ++failed;
        } else if (correct()) {
            ++succeeded;
        } else {
            wrong.append(what);
        }
    }

    void exerciseEveryCommand(Rig& rig, int round)
    {
        LoggerStatus& state = rig.status;
        LoggerEngine& engine = rig.engine;
        rig.settings.NumAnalogChannels = 1;
        state.FirmwareVersion = -1;
        expect(QStringLiteral("identification"), rig.commands.ReadIdentification(), [&] {
            return state.FirmwareVersion == 7 && rig.settings.NumAnalogChannels == 3
                && rig.settings.NumDigitalChannels == 2;
        });
        state.RecordCount = 0xABCDEF;
        expect(QStringLiteral("status"), rig.commands.ReadLoggerStatus(), [&] {
            return state.RecordCount == engine.Memory().History.size() && state.StatusWord == 0x0080;
        });
        const QString clock = rig.commands.ReadLoggerClock();
        expect(QStringLiteral("read clock"), clock != QLatin1String("00/00/00 00:00:00"), [&] {
            return clock == ShortDateText(engine.LoggerTime().date()) + engine.LoggerTime().toString(" HH:mm:ss");
        });
        const QDateTime newTime(QDate(2027, 1 + round, 2 + round), QTime(round, 30, 15));
        expect(QStringLiteral("set clock"), rig.commands.SetLoggerClock(newTime.toString("MM/dd/yy HH:mm:ss")),
               [&] { return engine.LoggerTime() == newTime; });
        const QString signature = QStringLiteral("SIG%1    ").arg(round).left(8);
        expect(QStringLiteral("write signature"), rig.commands.WriteMemorySignature(signature),
               [&] { return engine.Memory().Read(0, 8) == signature.toLatin1(); });
        const QString readSignature = rig.commands.ReadMemorySignature();
        expect(QStringLiteral("read signature"), !readSignature.isEmpty(),
               [&] { return readSignature.toLatin1() == engine.Memory().Read(0, 8); });
        // A byte no text shows (below a space, above 127) reads as a blank.
        const QString unshowable = rig.commands.WriteMemorySignature(QStringLiteral("A\x1f \x7f\x80xyz"))
                                       ? rig.commands.ReadMemorySignature()
                                       : QString();
        expect(QStringLiteral("read signature of control bytes"), !unshowable.isEmpty(),
               [&] { return unshowable == QStringLiteral("A  \x7f xyz"); });

        ApplyDefaultSettings(rig.settings, rig.rating);
        rig.settings.NumAnalogChannels = 3;
        rig.settings.NumDigitalChannels = 2;
        rig.settings.LoggerName = QStringLiteral("Station %1").arg(round);
        const QByteArray image = *EncodeSettings(rig.settings, true);
        expect(QStringLiteral("program settings"), rig.commands.ProgramSettings(),
               [&] { return ImageInLogger(engine) == image; });
        LoggerSettings fresh;
        RatingState freshRating;
        LoggerCommands reader(rig.link, state, fresh, freshRating);
        expect(QStringLiteral("read settings"), reader.ReadSettings(), [&] {
            LoggerSettings expected;
            RatingState expectedRating;
            return DecodeSettings(ImageInLogger(engine), expected, expectedRating, true)
                && *EncodeSettings(fresh, true) == *EncodeSettings(expected, true);
        });
        expect(QStringLiteral("clear memory"), rig.commands.ClearLoggerMemory(),
               [&] { return engine.Memory().History.empty(); });
        expect(QStringLiteral("initialise memory"), rig.commands.InitialiseMemory(),
               [&] { return engine.Memory().Read(0, 8) == QByteArray(8, '\xFF'); });
    }

private slots:
    void init()
    {
        succeeded = failed = 0;
        wrong.clear();
    }

    void faultsNeverGiveAWrongValue_data()
    {
        QTest::addColumn<FaultOptions>("faults");
        // Seed, then the rates of noise, lost bytes, corrupted bytes, lost acks, lost requests.
        QTest::newRow("clean line") << FaultOptions{10, 0, 0, 0, 0, 0};
        QTest::newRow("corrupted bytes") << FaultOptions{13, 0, 0, 0.01, 0, 0};
        QTest::newRow("lost acks and requests") << FaultOptions{14, 0, 0, 0, 0.2, 0.2};
        // Light enough that the settings blocks of 250 bytes get through now and then.
        QTest::newRow("light faults") << FaultOptions{19, 0.001, 0.001, 0.001, 0.05, 0.05};
    }
    void faultsNeverGiveAWrongValue()
    {
        QFETCH(FaultOptions, faults);
        LoggerOptions options;
        options.InitialiseMs = 50;
        options.Faults = faults;
        LoggerEngine engine(options, [] { return ComputerTime; });
        Rig rig(engine);
        QVERIFY(rig.open());
        const bool clean = !faults.Any();
        QVERIFY(rig.commands.WakeLogger({}) || !clean);
        for (int round = 0; round < 3; ++round) {
            exerciseEveryCommand(rig, round);
        }
        qInfo("%d succeeded, %d failed", succeeded, failed);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral(", "))));
        QVERIFY(succeeded > 0);
        QVERIFY(failed == 0 || !clean);
    }

    void hangUpFailsEverythingUntilReconnected()
    {
        LoggerOptions options;
        options.Faults.HangUpAfterBytes = 150; // in the middle of the first settings block
        LoggerEngine engine(options, [] { return ComputerTime; });
        Rig rig(engine);
        QVERIFY(rig.open());
        QVERIFY(rig.commands.ReadLoggerStatus());
        QVERIFY(!rig.commands.ReadSettings());
        QVERIFY(rig.engine.LineDead());
        exerciseEveryCommand(rig, 0);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral(", "))));
        QCOMPARE(succeeded, 0);
        // Closing and opening the port is a new call: the line is back.
        rig.link.ClosePort();
        QVERIFY(rig.open());
        QVERIFY(rig.commands.ReadLoggerStatus());
    }
};

BREVEL_TEST(LinkAgainstSimTest)
#include "tst_linkagainstsim.moc"
