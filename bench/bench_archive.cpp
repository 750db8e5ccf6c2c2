// Speed of the archive: 200 000 records of one download into SQLite and into
// a PostgreSQL server of its own (started in a temporary folder, on a Unix
// socket), the same download again (every record already there), and the
// CSV export of the 200 000 records.
// Run: build/bench/bench_archive --benchmark_repetitions=3

#include "PrivatePostgres.h"
#include "archive/Archive.h"
#include "archive/ArchiveExport.h"
#include "archive/ArchiveSiteTable.h"
#include "archive/ArchiveImport.h"
#include "config/LoggerSettings.h"
#include "flow/FlowDisplayState.h"
#include "config/Rating.h"
#include "history/HistoryFlow.h"
#include "history/HistoryRecords.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <array>
#include <cmath>
#include <unistd.h>

namespace {

constexpr int RecordCount = 200000;

// A 3-analog, 2-pulse logger logging every minute, flow by Manning's
// equation, as the history table shows it.
struct Download {
    Download()
    {
        Settings.LoggerName = QStringLiteral("Creek 4");
        Settings.AnalogEnable = {1, 1, 1, 0, 0, 0, 0, 0};
        Settings.DigitalEnable = {1, 1};
        Settings.EngUnits = {QStringLiteral("ft"), QStringLiteral("degC"), QStringLiteral("mg/L"), {}, {}, {}, {}, {},
                             QStringLiteral("in"), QStringLiteral("gal")};
        Settings.DecPlaces = {2, 1, 2, 0, 0, 0, 0, 0, 2, 0};
        Settings.RawScaleUpper = {65535, 65535, 65535, 0, 0, 0, 0, 0};
        Settings.LowerLimit = {0, -20, 0, 0, 0, 0, 0, 0};
        Settings.UpperLimit = {5, 60, 20, 0, 0, 0, 0, 0};
        Settings.PulseUnit = {0.01, 1};
        Settings.FlowMode = 1;
        Settings.ManningsN = 0.013;
        Settings.ManningsS = 0.5;
        Settings.ManningsSType = 1;
        Settings.ManningsD = 2;
        Records.Reset(5);
        QDateTime t(QDate(2024, 1, 1), QTime(0, 0));
        std::array<char, 14> bytes{};
        for (int i = 0; i < RecordCount; ++i, t = t.addSecs(60)) {
            const QDate d = t.date();
            const QTime h = t.time();
            const uint32_t packed = uint32_t((d.year() - 2000) * 12 + d.month() - 1) << 22 | uint32_t(d.day()) << 17
                                    | uint32_t(h.hour()) << 12 | uint32_t(h.minute()) << 6 | uint32_t(h.second());
            const std::array<int, 5> values{int(20000 + 15000 * std::sin(i / 500.0)), 30000 + i % 700, 12000 + i % 5000,
                                            i % 37, i % 3};
            for (int b = 0; b < 4; ++b) {
                bytes[size_t(b)] = char(packed >> (8 * b));
            }
            for (size_t k = 0; k < values.size(); ++k) {
                bytes[4 + 2 * k] = char(values[k] >> 8);
                bytes[5 + 2 * k] = char(values[k]);
            }
            Records.AppendRecord(bytes.data());
        }
    }
    ArchiveDownload View() const
    {
        return {Records, Settings, Flow, {}, {QDateTime::currentDateTime(), 0, QStringLiteral("COM9"), true}, {}};
    }

    LoggerSettings Settings;
    RatingState Rating;
    FlowDisplayState Display;
    HistoryFlowSource Flow = MakeHistoryFlowSource(Settings, Rating, Display);
    HistoryRecords Records;
};

const Download& TheDownload()
{
    static const Download download;
    return download;
}

// One archive per engine for the whole run, made on first use.
struct Engines {
    QTemporaryDir Folder;
    PrivatePostgres Server;
    bool ServerUp = false;
    int Made = 0;

    std::optional<ArchiveLocation> FreshLocation(bool postgres)
    {
        const QString name = QStringLiteral("bench%1").arg(++Made);
        if (!postgres) {
            return ArchiveLocation{ArchiveLocation::Engine::Sqlite, Folder.filePath(name + QStringLiteral(".sqlite")),
                                   {}, 0, {}, {}, {}};
        }
        QString error;
        if (!ServerUp && !(ServerUp = Server.start(&error))) {
            return std::nullopt;
        }
        return Server.createDatabase(name, &error);
    }
};

Engines& TheEngines()
{
    static Engines engines;
    return engines;
}

std::unique_ptr<Archive> FreshArchive(benchmark::State& state, bool postgres)
{
    const std::optional<ArchiveLocation> location = TheEngines().FreshLocation(postgres);
    QString error;
    std::unique_ptr<Archive> archive = location ? Archive::Open(*location, &error) : nullptr;
    if (!archive) {
        state.SkipWithError(postgres ? "no private PostgreSQL server" : "cannot open an SQLite archive");
    }
    return archive;
}

// CPU seconds the PostgreSQL server process of this connection has used:
// on a busy machine the wall time says little of the server's own work.
double ServerCpuSeconds(Archive& archive)
{
    if (archive.Engine() != ArchiveLocation::Engine::Postgres) {
        return 0.0;
    }
    QSqlQuery query = archive.Query();
    if (!query.exec(QStringLiteral("SELECT pg_backend_pid()")) || !query.next()) {
        return 0.0;
    }
    QFile stat(QStringLiteral("/proc/%1/stat").arg(query.value(0).toInt()));
    if (!stat.open(QIODevice::ReadOnly)) {
        return 0.0;
    }
    const QList<QByteArray> fields = stat.readAll().split(')').value(1).split(' ');
    // After the command's closing bracket: state is field 1, utime 12, stime 13.
    return (fields.value(12).toDouble() + fields.value(13).toDouble()) / double(sysconf(_SC_CLK_TCK));
}

void Import(benchmark::State& state, Archive& archive, int expectAdded)
{
    const ArchiveImportResult result = ImportDownload(archive, TheDownload().View());
    if (!result.Ok || result.Added != expectAdded) {
        state.SkipWithError(result.Ok ? "unexpected count of new records" : qPrintable(result.Error));
    }
}

void BmArchiveNew(benchmark::State& state)
{
    double serverCpu = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Archive> archive = FreshArchive(state, state.range(0) != 0);
        const double before = archive ? ServerCpuSeconds(*archive) : 0.0;
        state.ResumeTiming();
        if (!archive) {
            break;
        }
        Import(state, *archive, RecordCount);
        serverCpu += ServerCpuSeconds(*archive) - before;
    }
    state.counters["server_cpu_s"] = benchmark::Counter(serverCpu, benchmark::Counter::kAvgIterations);
    state.SetItemsProcessed(state.iterations() * RecordCount);
}

void BmArchiveAgain(benchmark::State& state)
{
    std::unique_ptr<Archive> archive = FreshArchive(state, state.range(0) != 0);
    if (archive) {
        Import(state, *archive, RecordCount);
    }
    const double before = archive ? ServerCpuSeconds(*archive) : 0.0;
    for (auto _ : state) {
        if (!archive) {
            break;
        }
        Import(state, *archive, 0);
    }
    if (archive) {
        state.counters["server_cpu_s"] = benchmark::Counter(ServerCpuSeconds(*archive) - before, benchmark::Counter::kAvgIterations);
    }
    state.SetItemsProcessed(state.iterations() * RecordCount);
}

void BmExportCsv(benchmark::State& state)
{
    std::unique_ptr<Archive> archive = FreshArchive(state, state.range(0) != 0);
    if (archive) {
        Import(state, *archive, RecordCount);
    }
    const QString path = TheEngines().Folder.filePath(QStringLiteral("export.csv"));
    const double before = archive ? ServerCpuSeconds(*archive) : 0.0;
    for (auto _ : state) {
        QString error;
        if (!archive || !ExportSiteCsv(*archive, QStringLiteral("Creek 4"), {}, ArchiveTimeFormat::ShortDate, path, &error)) {
            state.SkipWithError("export failed");
            break;
        }
    }
    if (archive) {
        state.counters["server_cpu_s"] = benchmark::Counter(ServerCpuSeconds(*archive) - before, benchmark::Counter::kAvgIterations);
    }
    state.SetItemsProcessed(state.iterations() * RecordCount);
}

// File > Open Archive: the site's records read into the history table and
// its first screen of cells made.
void BmOpenSite(benchmark::State& state)
{
    std::unique_ptr<Archive> archive = FreshArchive(state, state.range(0) != 0);
    if (archive) {
        Import(state, *archive, RecordCount);
    }
    for (auto _ : state) {
        QString error;
        std::optional<ArchiveRecords> records =
            archive ? LoadSiteRecords(*archive, QStringLiteral("Creek 4"), {}, &error) : std::nullopt;
        if (!records) {
            state.SkipWithError("cannot read the site");
            break;
        }
        ArchiveSiteTable table(std::move(*records));
        table.Fill(false);
        for (int row = 0; row < 40; ++row) {
            for (int column = 0; column < table.ColumnCount(); ++column) {
                benchmark::DoNotOptimize(table.CellText(row, column));
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * RecordCount);
}

} // namespace

// Argument 0: SQLite; 1: PostgreSQL.
BENCHMARK(BmArchiveNew)->ArgName("postgresql")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BmArchiveAgain)->ArgName("postgresql")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BmExportCsv)->ArgName("postgresql")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BmOpenSite)->ArgName("postgresql")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TheDownload(); // made before any timing
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
