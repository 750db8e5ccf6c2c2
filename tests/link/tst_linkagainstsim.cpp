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

class LinkAgainstSimTest : public QObject {
    Q_OBJECT

    int succeeded = 0;
    int failed = 0;
    QStringList wrong;

    static QByteArray ImageInLogger(const LoggerEngine& engine)
    {
        QByteArray image;
        for (const SettingsRegion& region : SettingsReadRegions) {
            image += engine.Memory().Read(region.Address, region.Length);
        }
        return image;
    }

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
        // The signature written and read back; a byte no text shows (below a space, above 127) reads as a blank.
        const QString signature = rig.commands.WriteMemorySignature(QStringLiteral("A\x1f \x7f\x80xy%1").arg(round))
                                      ? rig.commands.ReadMemorySignature()
                                      : QString();
        expect("signature", !signature.isEmpty(),
               [&] { return signature == QStringLiteral("A  \x7f xy%1").arg(round); });

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
        QTest::newRow("corrupted bytes, lost acks and requests") << FaultOptions{13, 0, 0, 0.01, 0.2, 0.2};
        // Light enough that the settings blocks of 250 bytes get through now and then.
        QTest::newRow("light faults") << FaultOptions{19, 0.001, 0.001, 0.001, 0.05, 0.05};
        QTest::newRow("hang-up in the middle of the first settings block") << FaultOptions{.HangUpAfterBytes = 150};
    }
    void faultsNeverGiveAWrongValue()
    {
        QFETCH(FaultOptions, faults);
        succeeded = failed = 0;
        wrong.clear();
        LoggerOptions options;
        options.InitialiseMs = 50;
        options.Faults = faults;
        LoggerEngine engine(options, [] { return QDateTime(QDate(2026, 3, 14), QTime(15, 9, 26)); });
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
        QCOMPARE(engine.LineDead(), faults.HangUpAfterBytes >= 0);
        if (engine.LineDead()) { // the port opened again is a new call: the logger answers
            rig.link.ClosePort();
            QVERIFY(rig.open());
            QVERIFY(rig.commands.ReadLoggerStatus());
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral(", "))));
    }
};

BREVEL_TEST(LinkAgainstSimTest)
#include "tst_linkagainstsim.moc"
