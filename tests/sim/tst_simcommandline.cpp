#include "SimCommandLine.h"
#include "TestRegistry.h"

#include <QRegularExpression>
#include <QTest>

namespace {

SimCommandLine Parse(const QString& arguments)
{
    QStringList list{QStringLiteral("brevel-logger-sim")};
    if (!arguments.isEmpty()) {
        list += arguments.split(QLatin1Char(' '));
    }
    return ParseSimCommandLine(list);
}

} // namespace

class SimCommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void optionsReachTheSettings()
    {
        const SimCommandLine parsed = Parse(QStringLiteral(
            "--name tank3 --analog 4 --pulse 1 --firmware 9 --sod 0 --blank --memory-file /tmp/x.mem --records 1234 "
            "--record-period 60 --seed 42 --status 0x0880 --twelve-hour --no-samples --mute-handshake --erase-ms 0 "
            "--counts 1,2,3 --pulse-counts 7 --latency 30 --baud 9600 --noise 0.01 --lose-bytes 0.02 --corrupt 0.03 "
            "--lose-acks 0.04 --lose-requests 0.05 --late 0.06 --late-ms 200-450 --hangup-after 5000 --modem --answer busy "
            "--connect-after 250 --mute 09,0a --trace"));
        QCOMPARE(parsed.Error, QString());
        const SimSettings& s = parsed.Settings;
        const LoggerOptions& l = s.Logger;
        QCOMPARE(s.Name, QStringLiteral("tank3"));
        QCOMPARE(l.MemoryFile, QStringLiteral("/tmp/x.mem"));
        QCOMPARE((QList<int64_t>{l.AnalogChannels, l.PulseChannels, l.FirmwareVersion, l.HistoryRecords,
                                 l.RecordPeriodSeconds, l.DataSeed, l.Faults.Seed, l.StatusWord, l.InitialiseMs,
                                 s.LatencyMs, s.Baud, l.Faults.HangUpAfterBytes, s.ModemSettings.ConnectDelayMs,
                                 l.Faults.LateMinMs, l.Faults.LateMaxMs}),
                 (QList<int64_t>{4, 1, 9, 1234, 60, 42, 42, 0x0880, 0, 30, 9600, 5000, 250, 200, 450}));
        QCOMPARE((QList<double>{l.Faults.NoiseRate, l.Faults.LoseByteRate, l.Faults.CorruptRate, l.Faults.LoseAckRate,
                                l.Faults.LoseRequestRate, l.Faults.LateRate}),
                 (QList<double>{0.01, 0.02, 0.03, 0.04, 0.05, 0.06}));
        QCOMPARE(l.MutedCommands, (QList<uint8_t>{0x09, 0x0A}));
        QCOMPARE((QList<bool>{l.SampleOnDemand, l.Initialised, l.TwelveHourClock, l.NoSamples, l.AnswersWakeUp,
                              s.Modem, s.Trace}),
                 (QList<bool>{false, false, true, true, false, true, true}));
        QCOMPARE(s.AnalogCounts, (QList<uint16_t>{1, 2, 3}));
        QCOMPARE(s.PulseCounts, QList<uint16_t>{7});
        QCOMPARE(s.ModemSettings.Outcome, ModemOptions::DialOutcome::Busy);
    }

    void badValuesAreRefused_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("named");
        QTest::newRow("no analog channel") << QStringLiteral("--analog 0") << QStringLiteral("--analog");
        QTest::newRow("half a record") << QStringLiteral("--records 2.5") << QStringLiteral("--records");
        QTest::newRow("too many records") << QStringLiteral("--records 2000001") << QStringLiteral("--records");
        QTest::newRow("rate above 1") << QStringLiteral("--noise 1.5") << QStringLiteral("--noise");
        QTest::newRow("more counts than channels") << QStringLiteral("--analog 2 --counts 1,2,3")
                                                   << QStringLiteral("--counts");
        QTest::newRow("name with a folder") << QStringLiteral("--name a/b") << QStringLiteral("--name");
        QTest::newRow("late range backwards") << QStringLiteral("--late-ms 400-200") << QStringLiteral("--late-ms");
        QTest::newRow("command code not hex") << QStringLiteral("--mute 09,0G") << QStringLiteral("--mute");
        QTest::newRow("unknown answer") << QStringLiteral("--answer ring") << QStringLiteral("--answer");
        QTest::newRow("unknown option") << QStringLiteral("--demo") << QStringLiteral("demo");
    }
    void badValuesAreRefused()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, named);
        const SimCommandLine parsed = Parse(arguments);
        QVERIFY2(parsed.Error.contains(named), qPrintable(parsed.Error));
    }

    // The logger program searches its own command line for these; keeping
    // them out of the simulator's options avoids any confusion of the two.
    void noOptionLooksLikeTheProgramsOwn()
    {
        const SimCommandLine parsed = Parse(QStringLiteral("--help"));
        QVERIFY(parsed.HelpRequested);
        const QRegularExpression option(QStringLiteral("--[a-z-]+"));
        int count = 0;
        for (const QRegularExpressionMatch& match : option.globalMatch(parsed.HelpText)) {
            const QString name = match.captured();
            ++count;
            for (const char* taken : {"-d", "-i", "-w"}) {
                QVERIFY2(!name.contains(QLatin1String(taken)), qPrintable(name));
            }
        }
        QVERIFY(count > 25);
    }
};

BREVEL_TEST(SimCommandLineTest)
#include "tst_simcommandline.moc"
