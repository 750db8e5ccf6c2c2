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
            "--lose-acks 0.04 --lose-requests 0.05 --hangup-after 5000 --modem --answer busy --connect-after 250 "
            "--trace"));
        QCOMPARE(parsed.Error, QString());
        const SimSettings& s = parsed.Settings;
        const LoggerOptions& l = s.Logger;
        QCOMPARE(s.Name, QStringLiteral("tank3"));
        QCOMPARE(l.AnalogChannels, 4);
        QCOMPARE(l.PulseChannels, 1);
        QCOMPARE(l.FirmwareVersion, 9);
        QVERIFY(!l.SampleOnDemand);
        QVERIFY(!l.Initialised);
        QCOMPARE(l.MemoryFile, QStringLiteral("/tmp/x.mem"));
        QCOMPARE(l.HistoryRecords, 1234);
        QCOMPARE(l.RecordPeriodSeconds, 60);
        QCOMPARE(l.DataSeed, 42u);
        QCOMPARE(l.Faults.Seed, 42u);
        QCOMPARE(l.StatusWord, uint16_t(0x0880));
        QVERIFY(l.TwelveHourClock && l.NoSamples && !l.AnswersWakeUp);
        QCOMPARE(l.InitialiseMs, 0);
        QCOMPARE(s.AnalogCounts, (QList<uint16_t>{1, 2, 3}));
        QCOMPARE(s.PulseCounts, QList<uint16_t>{7});
        QCOMPARE(s.LatencyMs, 30);
        QCOMPARE(s.Baud, 9600);
        QCOMPARE(l.Faults.NoiseRate, 0.01);
        QCOMPARE(l.Faults.LoseByteRate, 0.02);
        QCOMPARE(l.Faults.CorruptRate, 0.03);
        QCOMPARE(l.Faults.LoseAckRate, 0.04);
        QCOMPARE(l.Faults.LoseRequestRate, 0.05);
        QCOMPARE(l.Faults.HangUpAfterBytes, int64_t(5000));
        QVERIFY(s.Modem && s.Trace);
        QCOMPARE(s.ModemSettings.Outcome, ModemOptions::DialOutcome::Busy);
        QCOMPARE(s.ModemSettings.ConnectDelayMs, 250);
    }

    void defaults()
    {
        const SimCommandLine parsed = Parse(QString());
        QCOMPARE(parsed.Error, QString());
        QCOMPARE(parsed.Settings.Name, QStringLiteral("logger"));
        QCOMPARE(parsed.Settings.Logger.AnalogChannels, 3);
        QCOMPARE(parsed.Settings.Logger.PulseChannels, 2);
        QVERIFY(parsed.Settings.Logger.Initialised);
        QVERIFY(!parsed.Settings.Logger.Faults.any());
        QVERIFY(!parsed.Settings.Modem);
    }

    void badValuesAreRefused_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("named");
        QTest::newRow("no analog channel") << QStringLiteral("--analog 0") << QStringLiteral("--analog");
        QTest::newRow("three pulse channels") << QStringLiteral("--pulse 3") << QStringLiteral("--pulse");
        QTest::newRow("half a record") << QStringLiteral("--records 2.5") << QStringLiteral("--records");
        QTest::newRow("too many records") << QStringLiteral("--records 2000001") << QStringLiteral("--records");
        QTest::newRow("rate above 1") << QStringLiteral("--noise 1.5") << QStringLiteral("--noise");
        QTest::newRow("word") << QStringLiteral("--latency soon") << QStringLiteral("--latency");
        QTest::newRow("more counts than channels") << QStringLiteral("--analog 2 --counts 1,2,3")
                                                   << QStringLiteral("--counts");
        QTest::newRow("count too large") << QStringLiteral("--pulse-counts 70000") << QStringLiteral("--pulse-counts");
        QTest::newRow("name with a folder") << QStringLiteral("--name a/b") << QStringLiteral("--name");
        QTest::newRow("unknown answer") << QStringLiteral("--answer ring") << QStringLiteral("--answer");
        QTest::newRow("unknown option") << QStringLiteral("--demo") << QStringLiteral("demo");
        QTest::newRow("stray argument") << QStringLiteral("logger") << QStringLiteral("logger");
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
