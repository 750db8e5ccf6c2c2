#include "../history/HistoryFixtures.h"
#include "PrivatePostgres.h"
#include "ScratchFolder.h"
#include "TestRegistry.h"
#include "archive/Archive.h"
#include "archive/ArchiveExport.h"
#include "archive/ArchiveImport.h"
#include "archive/ArchiveSiteTable.h"

#include <QDir>
#include <QSqlQuery>
#include <QTest>
#include <array>
#include <cmath>

namespace {

const QString Sqlite = QStringLiteral("sqlite");
const QString Postgres = QStringLiteral("postgresql");
const QDateTime Base(QDate(2006, 3, 15), QTime(9, 0));

// One download of a 3-analog, 2-pulse logger, collected an hour ahead of UTC: records `from` up to `to` after
// Base, `perMinute` a minute (over 60: several in one second), their values counting from the first.
struct Download {
    explicit Download(int from = 0, int to = 0, int perMinute = 1)
    {
        records.Reset(settings.NumAnalogChannels + settings.NumDigitalChannels);
        for (int i = from; i < to; ++i) {
            add(Base.addSecs(i * 60 / perMinute), {(7 * (i - from)) % 1000, 1000, 333, (i - from) % 50, 3});
        }
    }
    void add(const QDateTime& t, const std::vector<int>& values) { AppendRecord(records, PackTime(t), values); }
    ArchiveDownload view() const { return {records, settings, flow, description, collection, site}; }

    HistoryRecords records;
    LoggerSettings settings = HistoryTestSettings();
    HistoryFlowSource flow = HistoryTestFlow();
    HistoryFlowDescription description{" 0 Inches", " 0.013", " 0.5 %", " 1 Foot", {}};
    ArchiveCollection collection{QDateTime(QDate(2006, 3, 16), QTime(8, 0), Qt::OffsetFromUTC, 3600), -5,
                                 QStringLiteral("COM9 - FT232R USB UART (/dev/ttyUSB0)"), true};
    QString site;
};

} // namespace

// Every test runs on each engine in a new, empty archive, the PostgreSQL ones on a private server.
#define OPEN_ARCHIVE(archive)                                                                                      \
    QFETCH_GLOBAL(QString, engine);                                                                                \
    if (engine == Postgres && !server_) {                                                                          \
        QSKIP("no PostgreSQL server programs in /usr/lib/postgresql/*/bin: install postgresql to run these rows"); \
    }                                                                                                              \
    std::unique_ptr<Archive> archive = openFresh(engine);                                                          \
    QVERIFY2(archive, qPrintable(openError_))

class ArchiveTest : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivatePostgres> server_;
    ScratchFolder folder_;
    int archives_ = 0;
    std::optional<ArchiveLocation> last_;
    QString openError_;

    std::unique_ptr<Archive> openFresh(const QString& engine)
    {
        const QString name = QStringLiteral("archive%1").arg(++archives_);
        last_ = engine == Postgres ? server_->createDatabase(name, &openError_)
                                   : ArchiveLocation{ArchiveLocation::Engine::Sqlite,
                                                     folder_.path(name + ".sqlite"), {}, 0, {}, {}, {}};
        return last_ ? Archive::Open(*last_, &openError_) : nullptr;
    }

private slots:
    void initTestCase_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::newRow("sqlite") << Sqlite;
        QTest::newRow("postgresql") << Postgres;
    }
    void initTestCase()
    {
        QVERIFY(folder_.dir.isValid());
        if (PrivatePostgres::serverPrograms().isEmpty()) {
            return;
        }
        server_ = std::make_unique<PrivatePostgres>();
        QString error;
        QVERIFY2(server_->start(&error), qPrintable(error));
    }

    // A location that cannot be opened says so with its text and the reason, on one line.
    void readsLocations_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // the location as Text() and its password, or the error
        QTest::addColumn<QString>("reason");   // why opening it fails
        const QString file = folder_.path(QStringLiteral("plain-file"));
        QVERIFY(folder_.write(QStringLiteral("plain-file"), QByteArray(4096, 'x')));
        QTest::newRow("default") << ""
                                 << "sqlite:" + qEnvironmentVariable("XDG_DATA_HOME", QDir::homePath() + "/.local/share")
                                        + "/Brevel/archive.sqlite" << "";
        QTest::newRow("home") << "sqlite:~/flows.sqlite" << "sqlite:" + QDir::homePath() + "/flows.sqlite" << "";
        QTest::newRow("server, password left out of the text")
            << "postgres://ann:s%40cret@[::1]:5433/flows" << "postgresql://ann@[::1]:5433/flows password s@cret" << "";
        QTest::newRow("socket folder") << "postgresql:///flows?host=/tmp/pg&port=5434&user=ann&password=pw"
                                       << "postgresql://ann@/flows?host=/tmp/pg&port=5434 password pw" << "";
        QTest::newRow("other scheme") << "mysql://ann@db/flows"
                                      << "archive location \"mysql://ann@db/flows\" is neither sqlite:PATH nor "
                                         "postgresql://user@host:port/database" << "";
        QTest::newRow("no database") << "postgresql://ann:pw@db"
                                     << "archive location \"postgresql://ann:***@db\": no database named "
                                        "(postgresql://user@host:port/database)" << "";
        QTest::newRow("bad port") << "postgresql://db:99999/flows"
                                  << "archive location \"postgresql://db:99999/flows\": the port must be a number "
                                     "from 1 to 65535" << "";
        QTest::newRow("unknown parameter")
            << "postgresql:///flows?hots=/tmp&password=pw"
            << "archive location \"postgresql:///flows?hots=/tmp&password=***\": unknown parameter \"hots\" (host, "
               "port, user and password are known)" << "";
        QTest::newRow("folder under a file") << "sqlite:" + file + "/a.sqlite" << "sqlite:" + file + "/a.sqlite"
                                             << "cannot make the folder";
        QTest::newRow("not a database") << "sqlite:" + file << "sqlite:" + file << "file is not a database";
        const QString noServer = "postgresql://ann@/flows?host=" + folder_.dir.path();
        QTest::newRow("no server") << noServer << noServer << "cannot open the archive";
    }
    void readsLocations()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QFETCH(QString, reason);
        QString error;
        const std::optional<ArchiveLocation> location = ParseArchiveLocation(text, &error);
        const QString password =
            location && !location->Password.isEmpty() ? " password " + location->Password : QString();
        QCOMPARE(location ? location->Text() + password : error, expected);
        if (!reason.isEmpty()) {
            QVERIFY(!Archive::Open(*location, &error));
            QVERIFY2(error.contains(expected) && error.contains(reason) && !error.contains(u'\n'), qPrintable(error));
        }
    }

    // Fast logging, ten records a second: the first download ends mid-second; the second starts inside the first
    // and runs past it, over several batches of inserts with records already there on both sides of a batch's end.
    void secondDownloadAddsOnlyWhatIsNew()
    {
        OPEN_ARCHIVE(archive);
        const Download one(0, 805, 600);
        const Download two(300, 1200, 600);
        const ArchiveImportResult a = ImportDownload(*archive, one.view());
        const ArchiveImportResult b = ImportDownload(*archive, two.view());
        QVERIFY2(a.Ok && b.Ok, qPrintable(a.Error + b.Error));
        QCOMPARE((std::array{a.Added, a.AlreadyThere, b.Added, b.AlreadyThere}), (std::array{805, 0, 395, 505}));

        QString error;
        const auto records = LoadSiteRecords(*archive, QStringLiteral("Creek 4"), {}, &error, ArchiveRawCounts::Read);
        QVERIFY2(records, qPrintable(error));
        QCOMPARE(records->Count(), 805 + 395);
        // A record already there keeps what its first download read.
        for (int r = 0; r < records->Count(); ++r) {
            const bool fromFirst = r < 805;
            QCOMPARE(records->Raw(r, 0), int((fromFirst ? one : two).records.Value(fromFirst ? r : r - 805 + 505, 0)));
        }
    }

    void failedImportWritesNothingAndSchemaMigrates()
    {
        OPEN_ARCHIVE(archive);
        QVERIFY(ImportDownload(*archive, Download(0, 100).view()).Ok);
        // The engine refuses one record of the third batch of a new site's download.
        const qint64 refused = ArchiveStamp(Base.date(), Base.time()) + 1100 * 60;
        QSqlQuery sql = archive->Query();
        const QString trigger = QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON records FOR EACH ROW"
                                               " WHEN (NEW.stamp = %1) ").arg(refused);
        if (engine == Sqlite) {
            QVERIFY(sql.exec(trigger + "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        } else {
            QVERIFY(sql.exec("CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql"
                             " AS $$ BEGIN RAISE EXCEPTION 'refused'; END $$"));
            QVERIFY(sql.exec(trigger + "EXECUTE FUNCTION refuse()"));
        }
        Download other(0, 1200);
        other.site = QStringLiteral("Upper weir");
        const ArchiveImportResult result = ImportDownload(*archive, other.view());
        QVERIFY(!result.Ok);
        QVERIFY2(result.Error.contains(archive->Location().Text()) && result.Error.contains(QStringLiteral("refused")),
                 qPrintable(result.Error));

        QVERIFY(sql.exec(QStringLiteral("SELECT (SELECT COUNT(*) FROM sites), (SELECT COUNT(*) FROM downloads),"
                                        " (SELECT COUNT(*) FROM records)")));
        QVERIFY(sql.next());
        QCOMPARE((std::array{sql.value(0).toInt(), sql.value(1).toInt(), sql.value(2).toInt()}),
                 (std::array{1, 1, 100}));
        sql = QSqlQuery();
        archive.reset();

        // Reopened by a program whose schema has a version more: a step failing half-way leaves the archive as it was.
        std::vector<ArchiveSchemaStep> schema = ArchiveSchema();
        QString error;
        schema.push_back({2, {QStringLiteral("ALTER TABLE sites ADD COLUMN region TEXT"),
                              QStringLiteral("ALTER TABLE nowhere ADD COLUMN region TEXT")}});
        QVERIFY(!Archive::Open(*last_, &error, schema));
        QVERIFY2(error.contains(QStringLiteral("to schema version 2")), qPrintable(error));

        schema.back() = {2, {QStringLiteral("ALTER TABLE sites ADD COLUMN note TEXT")}};
        {
            std::unique_ptr<Archive> archive = Archive::Open(*last_, &error, schema);
            QVERIFY2(archive, qPrintable(error));
            QCOMPARE(archive->SchemaVersion(), 2);
            QSqlQuery sql = archive->Query();
            QVERIFY(sql.exec(QStringLiteral("SELECT note FROM sites")));
            QVERIFY(!sql.exec(QStringLiteral("SELECT region FROM sites")));
            const auto sites = ListSites(*archive, &error);
            QVERIFY2(sites && sites->front().RecordCount == 100, qPrintable(error));
        }
        // A program that knows only version 1 leaves a version 2 archive alone.
        QVERIFY(!Archive::Open(*last_, &error));
        QCOMPARE(error, QStringLiteral("cannot open the archive %1: its schema version 2 is newer than this program's 1")
                            .arg(last_->Text()));
    }

    // Each download keeps its own columns, places and collection, a record already there its first; times as asked.
    void exportKeepsEachDownloadAsRead()
    {
        OPEN_ARCHIVE(archive);
        Download older;
        older.settings.AnalogEnable[1] = 0;
        older.settings.DigitalEnable[1] = 0;
        older.settings.FlowMode = 0;
        older.settings.DecPlaces[0] = 3;
        older.add(Base.addSecs(900), {130, 1000, 340, 8, 3});
        older.collection = {QDateTime(QDate(2006, 4, 2), QTime(23, 30), Qt::OffsetFromUTC, -7200), std::nullopt,
                            QStringLiteral("COM1"), false};
        Download newer;
        newer.settings.FlowUnits = 4;
        newer.add(QDateTime(Base.date(), QTime(0, 30, 48)), {125, 1000, 333, 7, 3});
        newer.add(Base.addSecs(900), {130, 1000, 340, 8, 3});
        newer.add(QDateTime(Base.date(), QTime(9, 42)), {1000, 0, 999, 9, 65535});
        Download weir(100, 101);
        weir.site = QStringLiteral("Upper weir");
        for (const Download* download : {&older, &newer, &weir}) {
            QVERIFY(ImportDownload(*archive, download->view()).Ok);
        }

        const auto written = [&](ArchiveTimeFormat format, ArchiveRange range, const QString& site = "Creek 4") {
            QString error;
            const bool ok = ExportSiteCsv(*archive, site, range, format, folder_.path("archive.csv"), &error);
            return ok ? QString::fromUtf8(folder_.read("archive.csv")) : error;
        };
        // Line 1 describes the flow computation of the newest download.
        const QString first = written(ArchiveTimeFormat::Iso, {}).section(QStringLiteral("\r\n"), 0, 0);
        QVERIFY2(first.startsWith(QStringLiteral("Creek 4,"))
                     && first.endsWith(",Offset= 0 Inches,Mannings,Roughness= 0.013,Slope= 0.5 %,Diameter= 1 Foot"),
                 qPrintable(first));
        const QString rows = QString(R"(Date, Time, ft, degC, %, in, gal, Flow (cfs), Vel (FPS)
%1, 1.25, 0.0, 33.3, 3.5, 3, 3.75, 0.31
%2, 1.300, , 34.0, 4.0, , , 
%3, 10.00, -20.0, 99.9, 4.5, 65535, 30.00, 2.50
)").replace(u'\n', QStringLiteral("\r\n"));
        const QString day = ShortDateFormat().Text(QDate(2006, 3, 15));
        // UTC: each record less the UTC offset of its own download's collection.
        for (const auto& [format, times] :
             {std::pair{ArchiveTimeFormat::ShortDate,
                        QStringList{day + ", 00:30:48", day + ", 09:15:00", day + ", 09:42:00"}},
              std::pair{ArchiveTimeFormat::Iso, QStringList{"2006-03-15, 00:30:48", "2006-03-15, 09:15:00",
                                                             "2006-03-15, 09:42:00"}},
              std::pair{ArchiveTimeFormat::Utc, QStringList{"2006-03-14, 23:30:48Z", "2006-03-15, 11:15:00Z",
                                                             "2006-03-15, 08:42:00Z"}}}) {
            QCOMPARE(written(format, {}).section(QStringLiteral("\r\n"), 1), rows.arg(times[0], times[1], times[2]));
        }
        // A range takes the records from its start up to, not including, its end, and their columns.
        const qint64 from = ArchiveStamp(Base.date(), QTime(9, 15));
        QCOMPARE(written(ArchiveTimeFormat::Iso, {from, from + 27 * 60}).section(QStringLiteral("\r\n"), 1),
                 QStringLiteral("Date, Time, ft, %, in\r\n2006-03-15, 09:15:00, 1.300, 34.0, 4.0\r\n"));
        QCOMPARE(written(ArchiveTimeFormat::Iso, {}, QStringLiteral("Creek 5")),
                 QStringLiteral("the archive %1 holds no site \"Creek 5\"").arg(archive->Location().Text()));

        // The window and its graph see the same: the flow units of the newest download with the column, gaps elsewhere.
        QString error;
        auto records = LoadSiteRecords(*archive, QStringLiteral("Creek 4"), {}, &error);
        QVERIFY2(records, qPrintable(error));
        ArchiveSiteTable table(std::move(*records));
        table.Fill(true);
        QCOMPARE(table.Columns()[5].FlowUnits, 4);
        QCOMPARE(table.RecordSeconds(2) - table.RecordSeconds(1), 27 * 60.0);
        std::array<double, RecordTable::MaxValueColumns> values{};
        table.RecordValues(1, values);
        QCOMPARE(values[0], 1.3);
        QVERIFY(std::isnan(values[1]) && std::isnan(values[5]) && !std::isnan(values[2]));

        QStringList shown;
        for (const ArchiveDownloadFacts* facts : {&table.Records().Download(0), &table.Records().Download(1)}) {
            const QByteArray clock = facts->ClockOffset ? QByteArray::number(*facts->ClockOffset) : "unread";
            shown << QString::asprintf("%s, complete %d, clock %s, UTC%d, %d records, %d new", qPrintable(facts->Port),
                                       facts->Complete, clock.constData(), facts->UtcOffset, facts->RecordCount,
                                       facts->NewCount);
        }
        // A site's newest collection is the latest in time, not the last saved.
        const auto sites = ListSites(*archive, &error);
        QVERIFY2(sites, qPrintable(error));
        const qint64 base = ArchiveStamp(Base.date(), Base.time());
        for (const ArchiveSite& site : *sites) {
            shown << QString::asprintf("%s: %lld records, seconds %lld to %lld, collected %s", qPrintable(site.Name),
                                       site.RecordCount, *site.FirstStamp - base, *site.LastStamp - base,
                                       qPrintable(site.LastCollection.toString(Qt::ISODate)));
        }
        QCOMPARE(shown,
                 (QStringList{"COM9 - FT232R USB UART (/dev/ttyUSB0), complete 1, clock -5, UTC3600, 3 records, 2 new",
                              "COM1, complete 0, clock unread, UTC-7200, 1 records, 1 new",
                              "Creek 4: 3 records, seconds -30552 to 2520, collected 2006-04-03T01:30:00Z",
                              "Upper weir: 1 records, seconds 6000 to 6000, collected 2006-03-16T07:00:00Z"}));

        // A column's places come from its newest download holding the column, even one with only the first record.
        Download earliest(-1440, -1439);
        earliest.settings.DecPlaces[0] = 1;
        earliest.settings.AnalogEnable[1] = 0;
        earliest.settings.DecPlaces[1] = 3;
        QVERIFY(ImportDownload(*archive, earliest.view()).Ok);
        records = LoadSiteRecords(*archive, QStringLiteral("Creek 4"), {}, &error);
        QVERIFY2(records, qPrintable(error));
        ArchiveSiteTable withEarliest(std::move(*records));
        withEarliest.Fill(true);
        QCOMPARE(withEarliest.Columns()[0].Decimals, int16_t(1));
        QCOMPARE(withEarliest.Columns()[1].Decimals, int16_t(1));
    }
};

BREVEL_TEST(ArchiveTest)
#include "tst_archive.moc"
