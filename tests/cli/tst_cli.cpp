// The brevel tool as a user runs it: the built program as a subprocess
// against the virtual logger program, archives on SQLite.

#include "OwnPty.h"
#include "SimProcess.h"
#include "TestRegistry.h"
#include "config/ChannelScaling.h"
#include "config/DefaultSettings.h"
#include "config/SetupFile.h"
#include "core/NumberText.h"
#include "config/Rating.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <csignal>
#include <memory>

namespace {

struct Outcome {
    int code = -1;
    QJsonObject json; // standard output, when the tool wrote JSON
    QString out;
    QString err;
};

// Runs brevel with the sim's folder as the home of virtual loggers, in the
// time zone given; its standard error goes to the file given (a terminal), if any.
std::unique_ptr<QProcess> Start(const QStringList& arguments, const SimProcess& sim, const QString& timeZone = {},
                                const QString& standardError = {})
{
    auto process = std::make_unique<QProcess>();
    if (!standardError.isEmpty()) {
        process->setStandardErrorFile(standardError);
    }
    QProcessEnvironment environment = sim.process.processEnvironment();
    if (!timeZone.isEmpty()) {
        environment.insert(QStringLiteral("TZ"), timeZone);
    }
    process->setProcessEnvironment(environment);
    process->start(QCoreApplication::applicationDirPath() + QStringLiteral("/../brevel"), arguments);
    return process;
}

Outcome Finish(QProcess& process)
{
    Outcome outcome;
    if (!process.waitForFinished(100000)) {
        process.kill();
        process.waitForFinished();
    }
    outcome.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    outcome.out = QString::fromUtf8(process.readAllStandardOutput());
    outcome.err = QString::fromUtf8(process.readAllStandardError());
    outcome.json = QJsonDocument::fromJson(outcome.out.toUtf8()).object();
    return outcome;
}

Outcome Brevel(const QStringList& arguments, const SimProcess& sim, const QString& timeZone = {})
{
    return Finish(*Start(arguments, sim, timeZone));
}

QList<QByteArray> ReadLines(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>();
}

const QStringList Logger{QStringLiteral("--port"), QStringLiteral("logger")};

} // namespace

class CliTest : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;

    QString sqlite(const QString& name) const { return QStringLiteral("sqlite:") + folder_.filePath(name); }

    static int archivedRecords(const QString& archive, const SimProcess& sim)
    {
        const Outcome sites = Brevel({QStringLiteral("sites"), QStringLiteral("--json"), QStringLiteral("--archive"), archive}, sim);
        return sites.json.value(QStringLiteral("sites")).toArray().at(0)[QStringLiteral("records")].toInt();
    }

    // Downloads twice into the archive: everything is new the first time,
    // nothing the second; then the site holds every record once.
    void downloadTwice(const SimProcess& sim, const QString& archive, const QStringList& reach, int records)
    {
        const QStringList download = QStringList{QStringLiteral("download"), QStringLiteral("--json"),
                                                 QStringLiteral("--archive"), archive} + reach;
        for (const int added : {records, 0}) {
            const Outcome run = Brevel(download, sim);
            QVERIFY2(run.code == 0, qPrintable(run.err));
            QCOMPARE(run.json.value(QStringLiteral("added")).toInt(), added);
            QCOMPARE(run.json.value(QStringLiteral("already_there")).toInt(), records - added);
        }
        QCOMPARE(archivedRecords(archive, sim), records);
    }

private slots:
    void initTestCase() { QVERIFY(folder_.isValid()); }

    void exitCodes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("named"); // the one-line error names it
        QTest::newRow("unknown option") << QStringList{"status", "--bogus"} << 2 << "bogus";
        QTest::newRow("no port") << QStringList{"sample"} << 2 << "--port";
        QTest::newRow("modem without number") << QStringList{"status", "--port", "logger", "--modem"} << 2 << "--number";
        QTest::newRow("clear without archive") << QStringList{"download", "--port", "logger", "--csv", "x.csv", "--clear-after"}
                                               << 2 << "archive";
        QTest::newRow("no such port") << QStringList{"status", "--port", "river"} << 3 << "river";
        QTest::newRow("no device on COM16") << QStringList{"status", "--port", "COM16"} << 3 << "COM16";
        QTest::newRow("export without a site") << QStringList{"export", "--archive", "sqlite:x"} << 2 << "--site";
        QTest::newRow("export from no time") << QStringList{"export", "--site", "x", "--from", "noon"} << 2 << "noon";
        QTest::newRow("bad archive URL") << QStringList{"sites", "--archive", "mysql://x/y"} << 6 << "mysql://x/y";
        QTest::newRow("archive checked before the logger")
            << QStringList{"download", "--port", "logger", "--archive", "postgresql://"} << 6 << "postgresql://";
        QTest::newRow("setup file checked before the port")
            << QStringList{"program", "/nonexistent.set", "--port", "river"} << 7 << "/nonexistent.set";
    }
    void exitCodes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, named);
        SimProcess sim({});
        const Outcome run = Brevel(arguments, sim);
        QCOMPARE(run.code, code);
        QCOMPARE(run.err.count(QLatin1Char('\n')), 1);
        QVERIFY2(run.err.startsWith(QLatin1String("brevel: ")) && run.err.contains(named), qPrintable(run.err));
    }

    // The logger's clock set in one time zone reads as that far ahead of
    // (or behind) the computer's in another; sync-time then brings it to 0.
    void clockOffsetAndSync_data()
    {
        QTest::addColumn<QString>("setZone");
        QTest::addColumn<QString>("readZone");
        QTest::addColumn<int>("offset");
        QTest::newRow("logger ahead") << "UTC-1" << "UTC" << 3600;
        QTest::newRow("logger behind") << "UTC" << "UTC-1" << -3600;
    }
    void clockOffsetAndSync()
    {
        QFETCH(QString, setZone);
        QFETCH(QString, readZone);
        QFETCH(int, offset);
        SimProcess sim({});
        QCOMPARE(Brevel(QStringList{"sync-time"} + Logger, sim, setZone).code, 0);
        const Outcome status = Brevel(QStringList{"status", "--json"} + Logger, sim, readZone);
        QVERIFY(qAbs(status.json.value(QStringLiteral("clock_offset_seconds")).toInt() - offset) <= 2);
        const Outcome sync = Brevel(QStringList{"sync-time", "--json"} + Logger, sim, readZone);
        QVERIFY(qAbs(sync.json.value(QStringLiteral("before_offset_seconds")).toInt() - offset) <= 2);
        QVERIFY(qAbs(sync.json.value(QStringLiteral("after_offset_seconds")).toInt()) <= 2);
    }

    void sample()
    {
        QCOMPARE(Brevel(QStringList{"sample"} + Logger, SimProcess({QStringLiteral("--no-samples")})).code, 4);
        SimProcess sim({QStringLiteral("--counts"), QStringLiteral("1000,2000,3000")});
        const Outcome run = Brevel(QStringList{"sample", "--json"} + Logger, sim);
        QCOMPARE(run.code, 0);
        // The factory settings scale each channel; flow and velocity follow channel 1.
        LoggerSettings settings;
        RatingState rating;
        ApplyDefaultSettings(settings, rating);
        QStringList texts;
        for (const QJsonValue& reading : run.json.value(QStringLiteral("readings")).toArray()) {
            texts << reading[QStringLiteral("channel")].toString() + QLatin1Char('=') + reading[QStringLiteral("text")].toString();
        }
        for (int c = 0; c < 3; ++c) {
            QVERIFY2(texts.contains(QStringLiteral("Channel %1=%2").arg(c + 1).arg(
                         FormatDecimals(EngineeringValue(settings, c, 1000 * (c + 1)), settings.DecPlaces[size_t(c)]))),
                     qPrintable(texts.join(' ')));
        }
        QVERIFY2(texts.filter(QRegularExpression(QStringLiteral("^(Flow|Velocity)=\\d"))).size() == 2,
                 qPrintable(texts.join(' ')));
    }

    // Into an archive twice, then to a file, then once more clearing the
    // logger's memory once the archive holds every record.
    void downloadIntoSqliteAndCsvThenClear()
    {
        SimProcess sim({QStringLiteral("--records"), QStringLiteral("1000")});
        const QString archive = sqlite(QStringLiteral("twice.sqlite"));
        downloadTwice(sim, archive, Logger, 1000);
        // The site comes out of the archive by name, from the first time
        // asked for up to the second.
        const QStringList exported{"export", "--archive", archive, "--site", "Brevel Logger",
                                   "--time-format", "iso", "--csv"};
        QCOMPARE(Brevel(exported + QStringList{folder_.filePath("whole.csv")}, sim).code, 0);
        const QList<QByteArray> whole = ReadLines(folder_.filePath("whole.csv"));
        const auto time = [&whole](int record) {
            return QString(whole.at(2 + record)).section(", ", 0, 1).replace(", ", " ");
        };
        const QStringList range{folder_.filePath("range.csv"), "--from", time(10), "--to", time(20)};
        QCOMPARE(Brevel(exported + range, sim).code, 0);
        QCOMPARE(ReadLines(range.first()).mid(1),
                 whole.mid(1, 1) + whole.mid(2 + 10, 10) + whole.mid(whole.size() - 1));
        const QString csv = folder_.filePath(QStringLiteral("history.csv"));
        QCOMPARE(Brevel(QStringList{"download", "--csv", csv} + Logger, sim).code, 0);
        const QList<QByteArray> lines = ReadLines(csv);
        QCOMPARE(lines.size(), 1000 + 2 + 1); // two header lines, the last line break
        QVERIFY(lines.at(1).startsWith("Date, Time, "));
        QVERIFY(!lines.at(2).isEmpty());
        const Outcome clear =
            Brevel(QStringList{"download", "--json", "--clear-after", "--archive", archive} + Logger, sim);
        QVERIFY2(clear.code == 0, qPrintable(clear.err));
        QCOMPARE(clear.json.value(QStringLiteral("records_after_clear")).toInt(), 0);
        const Outcome status = Brevel(QStringList{"status", "--json"} + Logger, sim);
        QCOMPARE(status.json.value(QStringLiteral("records")).toInt(), 0);
    }

    // On a terminal the download's progress is one line rewritten in place
    // as the records come, ending at all of them.
    void progressOnATerminal()
    {
        SimProcess sim({QStringLiteral("--records"), QStringLiteral("3000")});
        OwnPty terminal;
        const QStringList download = QStringList{"download", "--csv", folder_.filePath("progress.csv")} + Logger;
        QCOMPARE(Finish(*Start(download, sim, {}, terminal.device)).code, 0);
        const QList<QByteArray> shown = terminal.readMaster(8192).trimmed().split('\r');
        QVERIFY2(shown.size() >= 2 && shown.last().startsWith("100% 3000 of 3000 records, "), shown.join('|'));
    }

    void programAndVerify_data()
    {
        QTest::addColumn<QStringList>("simArguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("nameAfter");
        QTest::newRow("programmed") << QStringList{} << 0 << "Weir 7";
        QTest::newRow("writes ignored") << QStringList{"--mute", "07"} << 5 << "Brevel Logger";
    }
    void programAndVerify()
    {
        QFETCH(QStringList, simArguments);
        QFETCH(int, code);
        QFETCH(QString, nameAfter);
        LoggerSettings settings;
        RatingState rating;
        ApplyDefaultSettings(settings, rating);
        settings.LoggerName = QStringLiteral("Weir 7");
        settings.FlowMode = uint8_t(FlowMethod::Weir);
        settings.WeirTag = QStringLiteral("V45");
        const QString path = folder_.filePath(QStringLiteral("weir.set"));
        QVERIFY(WriteSetupFile(path, settings, CurrentSetupFileStamp(), true));
        SimProcess sim(simArguments);
        const Outcome run = Brevel(QStringList{"program", path, "--json"} + Logger, sim);
        QVERIFY2(run.code == code, qPrintable(run.err));
        QCOMPARE(run.json.value(QStringLiteral("bytes")).toInt(), code == 0 ? 458 : 0);
        QCOMPARE(Brevel(QStringList{"status", "--json"} + Logger, sim).json.value(QStringLiteral("logger_name")).toString(),
                 nameAfter);
        if (code == 0) { // the weir programmed gives a sample its flow
            QStringList channels;
            for (const QJsonValue& reading : Brevel(QStringList{"sample", "--json"} + Logger, sim).json.value("readings").toArray()) {
                channels << reading[QStringLiteral("channel")].toString();
            }
            QVERIFY2(channels.contains(QStringLiteral("Flow")), qPrintable(channels.join(' ')));
        }
    }

    void modem_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("code");
        QTest::newRow("connect") << "connect" << 0;
        QTest::newRow("busy line") << "busy" << 3;
        QTest::newRow("no carrier") << "no-carrier" << 3;
    }
    void modem()
    {
        QFETCH(QString, answer);
        QFETCH(int, code);
        SimProcess sim({QStringLiteral("--modem"), QStringLiteral("--answer"), answer, QStringLiteral("--connect-after"),
                        QStringLiteral("100"), QStringLiteral("--records"), QStringLiteral("120")});
        const QStringList reach = Logger + QStringList{"--modem", "--number", "5550100"};
        if (code == 0) {
            downloadTwice(sim, sqlite(QStringLiteral("modem.sqlite")), reach, 120);
            return;
        }
        // A port given by its number is named in the error by its whole entry.
        const QString entry = Brevel({QStringLiteral("ports")}, sim).out.split('\n').filter("Virtual logger").value(0);
        // The same port in JSON: its entry and the device path that entry shows.
        const QJsonArray ports = Brevel({QStringLiteral("ports"), QStringLiteral("--json")}, sim).json.value("ports").toArray();
        const auto port = std::find_if(ports.begin(), ports.end(), [&](const QJsonValue& row) {
            return row.toObject().value("entry").toString() == entry;
        });
        QVERIFY(port != ports.end());
        const QString device = port->toObject().value("device").toString();
        QVERIFY2(!device.isEmpty() && entry.endsWith('(' + device + ')'), qPrintable(device));
        const QStringList byNumber = QStringList{"--port", entry.section(' ', 0, 0)} + reach.mid(Logger.size());
        const Outcome run = Brevel(QStringList{"status"} + byNumber, sim);
        QCOMPARE(run.code, code);
        QVERIFY2(run.err.startsWith("brevel: " + entry + ": dialling 5550100: "), qPrintable(run.err));
        QVERIFY2(run.err.contains(answer.toUpper().replace('-', ' ')), qPrintable(run.err));
    }

    // The line dies mid-download; Ctrl-C then stops the retries between
    // blocks, and the records that came before are archived.
    void lineDiesMidDownload()
    {
        SimProcess sim({QStringLiteral("--records"), QStringLiteral("2000"), QStringLiteral("--hangup-after"),
                        QStringLiteral("8000")});
        const QString archive = sqlite(QStringLiteral("hangup.sqlite"));
        std::unique_ptr<QProcess> process =
            Start(QStringList{"download", "--trace", "--archive", archive} + Logger, sim);
        QByteArray trace;
        QTRY_VERIFY_WITH_TIMEOUT((trace += process->readAllStandardError()).contains("not acknowledged: timeout"), 30000);
        ::kill(pid_t(process->processId()), SIGINT);
        const Outcome run = Finish(*process);
        QCOMPARE(run.code, 130);
        const int kept = archivedRecords(archive, sim);
        QVERIFY2(kept > 0 && kept < 2000, qPrintable(QString::number(kept)));
    }
};

BREVEL_TEST(CliTest)
#include "tst_cli.moc"
