// The brevel tool as a user runs it: the built program against the virtual logger program, archives on SQLite.

#include "OwnPty.h"
#include "ScratchFolder.h"
#include "SimProcess.h"
#include "TestRegistry.h"
#include "config/DefaultSettings.h"
#include "config/SetupFile.h"
#include "config/Rating.h"

#include <QTest>
#include <QtCore>
#include <csignal>

namespace {

struct Outcome {
    int code = -1;
    QJsonObject json; // standard output, when the tool wrote JSON
    QString out;
    QString err;
};

// Starts brevel with the sim's folder as the home of virtual loggers, in the time zone given.
void Start(QProcess& process, const QStringList& arguments, const SimProcess& sim, const QString& timeZone = {})
{
    QProcessEnvironment environment = sim.process.processEnvironment();
    if (!timeZone.isEmpty()) {
        environment.insert(QStringLiteral("TZ"), timeZone);
    }
    process.setProcessEnvironment(environment);
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../brevel"), arguments);
}

Outcome Finish(QProcess& process)
{
    if (!process.waitForFinished(100000)) {
        process.kill();
        process.waitForFinished();
    }
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QJsonDocument::fromJson(out.toUtf8()).object(), out, QString::fromUtf8(process.readAllStandardError())};
}

Outcome Brevel(const QStringList& arguments, const SimProcess& sim, const QString& timeZone = {})
{
    QProcess process;
    Start(process, arguments, sim, timeZone);
    return Finish(process);
}

int ArchivedRecords(const QString& archive, const SimProcess& sim)
{
    return Brevel({"sites", "--json", "--archive", archive}, sim).json["sites"].toArray().at(0)["records"].toInt();
}

const QStringList Logger{QStringLiteral("--port"), QStringLiteral("logger")};

} // namespace

class CliTest : public QObject {
    Q_OBJECT

    ScratchFolder folder_;

    QString sqlite(const QString& name) const { return QStringLiteral("sqlite:") + folder_.path(name); }

    void downloadTwice(const SimProcess& sim, const QString& archive, const QStringList& reach, int records)
    {
        for (const int added : {records, 0}) {
            const Outcome run = Brevel(QStringList{"download", "--json", "--archive", archive} + reach, sim);
            QVERIFY2(run.code == 0, qPrintable(run.err));
            QCOMPARE(run.json["added"].toInt(), added);
            QCOMPARE(run.json["already_there"].toInt(), records - added);
        }
        QCOMPARE(ArchivedRecords(archive, sim), records);
    }

private slots:
    void exitCodes_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("named"); // the one-line error names it
        QTest::newRow("unknown option") << "status --bogus" << 2 << "bogus";
        QTest::newRow("no port") << "sample" << 2 << "--port";
        QTest::newRow("modem without number") << "status --port logger --modem" << 2 << "--number";
        QTest::newRow("clear without archive") << "download --port logger --csv x.csv --clear-after" << 2 << "archive";
        QTest::newRow("no such port") << "status --port river" << 3 << "river";
        QTest::newRow("no device on COM16") << "status --port COM16" << 3 << "COM16";
        QTest::newRow("export without a site") << "export --archive sqlite:x" << 2 << "--site";
        QTest::newRow("export from no time") << "export --site x --from noon" << 2 << "noon";
        QTest::newRow("bad archive URL") << "sites --archive mysql://x/y" << 6 << "mysql://x/y";
        QTest::newRow("archive first") << "download --port logger --archive postgresql://" << 6 << "postgresql://";
        QTest::newRow("setup file first") << "program /nonexistent.set --port river" << 7 << "/nonexistent.set";
    }
    void exitCodes()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, named);
        const Outcome run = Brevel(arguments.split(' '), SimProcess({}));
        QTEST(run.code, "code");
        QCOMPARE(run.err.count(QLatin1Char('\n')), 1);
        QVERIFY2(run.err.startsWith(QLatin1String("brevel: ")) && run.err.contains(named), qPrintable(run.err));
    }

    // Into an archive twice, then to a file with progress on a terminal, then clearing the logger once archived;
    // meanwhile the logger's clock, set an hour east of the computer, reads an hour ahead until sync-time.
    void downloadIntoSqliteAndCsvThenClear()
    {
        SimProcess sim({"--records", "1000"});
        QCOMPARE(Brevel(QStringList{"sync-time"} + Logger, sim, "UTC-1").code, 0);
        const QString archive = sqlite("twice.sqlite");
        downloadTwice(sim, archive, Logger, 1000);
        const QStringList exported{"export", "--archive", archive, "--site", "Brevel Logger",
                                   "--time-format", "iso", "--csv"};
        QCOMPARE(Brevel(exported + QStringList{folder_.path("whole.csv")}, sim).code, 0);
        const QList<QByteArray> whole = folder_.read("whole.csv").split('\n');
        const auto time = [&whole](int record) {
            return QString(whole.at(2 + record)).section(", ", 0, 1).replace(", ", " ");
        };
        const QStringList range{folder_.path("range.csv"), "--from", time(10), "--to", time(20)};
        QCOMPARE(Brevel(exported + range, sim).code, 0);
        QCOMPARE(folder_.read("range.csv").split('\n').mid(1),
                 whole.mid(1, 1) + whole.mid(2 + 10, 10) + whole.mid(whole.size() - 1));
        OwnPty terminal;
        QProcess download;
        download.setStandardErrorFile(terminal.device);
        Start(download, QStringList{"download", "--csv", folder_.path("history.csv")} + Logger, sim);
        QCOMPARE(Finish(download).code, 0);
        const QList<QByteArray> shown = terminal.readMaster(8192).trimmed().split('\r');
        QVERIFY2(shown.size() >= 2 && shown.last().startsWith("100% 1000 of 1000 records, "), shown.join('|'));
        const QList<QByteArray> lines = folder_.read("history.csv").split('\n');
        QCOMPARE(lines.size(), 1000 + 2 + 1); // two header lines, the last line break
        const Outcome clear =
            Brevel(QStringList{"download", "--json", "--clear-after", "--archive", archive} + Logger, sim);
        QVERIFY2(clear.code == 0, qPrintable(clear.err));
        QCOMPARE(clear.json["records_after_clear"].toInt(), 0);
        const Outcome status = Brevel(QStringList{"status", "--json"} + Logger, sim, "UTC");
        QCOMPARE(status.json["records"].toInt(), 0);
        QVERIFY(qAbs(status.json["clock_offset_seconds"].toInt() - 3600) <= 2);
        const Outcome sync = Brevel(QStringList{"sync-time", "--json"} + Logger, sim, "UTC");
        QVERIFY(qAbs(sync.json["before_offset_seconds"].toInt() - 3600) <= 2);
        QVERIFY(qAbs(sync.json["after_offset_seconds"].toInt()) <= 2);
    }

    void sampleProgramAndVerify_data()
    {
        QTest::addColumn<QStringList>("simArguments");
        QTest::addColumn<int>("code");
        QTest::newRow("programmed") << QStringList{"--counts", "32768,16384,62384"} << 0;
        QTest::newRow("writes ignored, no sample") << QStringList{"--mute", "07", "--no-samples"} << 5;
    }
    // A sample (command 0A) and programming (07, read back with 08) fail or succeed each on its own.
    void sampleProgramAndVerify()
    {
        QFETCH(QStringList, simArguments);
        QFETCH(int, code);
        SimProcess sim(simArguments);
        const Outcome sampled = Brevel(QStringList{"sample", "--json"} + Logger, sim);
        QCOMPARE(sampled.code, code == 0 ? 0 : 4);
        // The factory scaling: 0 to 65535 over 0 to 100, and 62384 the top of 0 to 24 V; flow follows channel 1.
        QStringList texts;
        for (const QJsonValue& reading : sampled.json["readings"].toArray()) {
            texts << reading["channel"].toString() + '=' + reading["text"].toString();
        }
        const QStringList factory{"Channel 1=50.00", "Channel 2=25.00", "Channel 3=24.00", "Pulse 1=0", "Pulse 2=0"};
        QCOMPARE(texts.mid(0, 5), code == 0 ? factory : QStringList());
        QCOMPARE(texts.filter(QRegularExpression("^(Flow|Velocity)=\\d")).size(), code == 0 ? 2 : 0);
        LoggerSettings settings;
        RatingState rating;
        ApplyDefaultSettings(settings, rating);
        settings.LoggerName = "Weir 7";
        const QString path = folder_.path("weir.set");
        QVERIFY(WriteSetupFile(path, settings, CurrentSetupFileStamp(), true));
        const Outcome run = Brevel(QStringList{"program", path, "--json"} + Logger, sim);
        QVERIFY2(run.code == code, qPrintable(run.err));
        QCOMPARE(run.json["bytes"].toInt(), code == 0 ? 458 : 0);
        QCOMPARE(Brevel(QStringList{"status", "--json"} + Logger, sim).json["logger_name"].toString(),
                 QString(code == 0 ? "Weir 7" : "Brevel Logger"));
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
        SimProcess sim({"--modem", "--answer", answer, "--connect-after", "100", "--records", "120"});
        if (answer == u"connect") {
            downloadTwice(sim, sqlite("modem.sqlite"), Logger + QStringList{"--modem", "--number", "5550100"}, 120);
            return;
        }
        // A port given by its number is named in the error by its whole entry, which shows its device path.
        const QString entry = Brevel({"ports"}, sim).out.split('\n').filter("Virtual logger").value(0);
        QString device;
        for (const QJsonValue& port : Brevel({"ports", "--json"}, sim).json["ports"].toArray()) {
            device = port["entry"].toString() == entry ? port["device"].toString() : device;
        }
        QVERIFY2(!device.isEmpty() && entry.endsWith('(' + device + ')'), qPrintable(device));
        const Outcome run = Brevel({"status", "--port", entry.section(' ', 0, 0), "--modem", "--number", "5550100"}, sim);
        QTEST(run.code, "code");
        QVERIFY2(run.err.startsWith("brevel: " + entry + ": dialling 5550100: "), qPrintable(run.err));
        QVERIFY2(run.err.contains(answer.toUpper().replace('-', ' ')), qPrintable(run.err));
    }

    // The line dies mid-download; Ctrl-C stops the retries, and the records that came before are archived.
    void lineDiesMidDownload()
    {
        SimProcess sim({"--records", "2000", "--hangup-after", "8000"});
        const QString archive = sqlite("hangup.sqlite");
        QProcess process;
        Start(process, QStringList{"download", "--trace", "--archive", archive} + Logger, sim);
        QByteArray trace;
        QTRY_VERIFY_WITH_TIMEOUT((trace += process.readAllStandardError()).contains("not acknowledged: timeout"), 30000);
        ::kill(pid_t(process.processId()), SIGINT);
        QCOMPARE(Finish(process).code, 130);
        const int kept = ArchivedRecords(archive, sim);
        QVERIFY2(kept > 0 && kept < 2000, qPrintable(QString::number(kept)));
    }
};

BREVEL_TEST(CliTest)
#include "tst_cli.moc"
