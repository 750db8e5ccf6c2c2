// Speed of the history: download from the virtual logger over a
// pseudo-terminal (as fast as it goes, and paced at 115 200 baud against the
// wire time), and opening, packing and exporting a table of 200 000 records.
// Run: QT_QPA_PLATFORM=offscreen build/bench/bench_history --benchmark_repetitions=3

#include "LoggerEngine.h"
#include "PtyServer.h"
#include "config/LoggerSettings.h"
#include "flow/FlowDisplayState.h"
#include "flow/Rating.h"
#include "history/HistoryDownload.h"
#include "history/HistoryExport.h"
#include "history/HistoryFlow.h"
#include "history/HistoryRecords.h"
#include "history/HistoryWindow.h"
#include "history/LinkHistoryBlocks.h"
#include "link/FrameCodec.h"
#include "link/LoggerLink.h"
#include "link/PortDirectory.h"
#include "link/QtSerialPort.h"
#include "link/ReplyTicker.h"
#include "platform/BusyCursor.h"
#include "platform/FileDialogs.h"
#include "platform/Prompter.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableView>
#include <QTemporaryDir>
#include <cmath>
#include <sys/resource.h>

namespace {

double PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// Counts the bytes a block exchange puts on the line: the request frame,
// the acknowledgement and the block frame.
class CountingBlocks : public HistoryBlockLink {
public:
    explicit CountingBlocks(HistoryBlockLink& inner) : inner_(inner) {}
    bool readHistoryBlock(int k, QByteArray& block) override
    {
        QByteArray request(2, char(0x0D));
        request[1] = char(k);
        const bool ok = inner_.readHistoryBlock(k, block);
        if (ok) {
            lineBytes += BuildFrame(request).size() + 1 + BuildFrame(block).size();
        }
        return ok;
    }
    void pause(int ticks) override { inner_.pause(ticks); }
    int64_t lineBytes = 0;

private:
    HistoryBlockLink& inner_;
};

// One download of the virtual logger's history through a pseudo-terminal
// and the program's own serial port.
struct PtyDownload {
    PtyDownload(int recordCount, int baud) : engine(Options(recordCount)), server(engine, 0, baud)
    {
        QString error;
        if (!server.start(&error) || !server.announce(folder.filePath(QStringLiteral("bench")), &error)) {
            qFatal("virtual logger: %s", qPrintable(error));
        }
    }
    static LoggerOptions Options(int recordCount)
    {
        LoggerOptions options;
        options.HistoryRecords = recordCount;
        options.InitialiseMs = 0;
        return options;
    }
    // Returns the line bytes of the download.
    int64_t run()
    {
        AppState state;
        state.ReplyTicks = 10;
        PortDirectory directory(folder.path());
        QtSerialPort port(directory);
        LoggerLink link(port, state);
        ReplyTicker ticker(link);
        ticker.start();
        if (!link.OpenPort(PortDirectory::FixedPortCount + 1, QStringLiteral("115200,N,8,1"))) {
            qFatal("cannot open the virtual logger's port");
        }
        HistoryRecords records;
        LinkHistoryBlocks blocks(link);
        CountingBlocks counting(blocks);
        HistoryDownload download(counting, records, 3, 2);
        const HistoryDownloadEnd end = download.run();
        link.ClosePort();
        if (end != HistoryDownloadEnd::Complete && end != HistoryDownloadEnd::BufferFull) {
            qFatal("download failed");
        }
        return counting.lineBytes;
    }

    QTemporaryDir folder;
    LoggerEngine engine;
    PtyServer server;
};

void BM_DownloadOverPty(benchmark::State& state)
{
    const int count = int(state.range(0));
    PtyDownload rig(count, 0);
    for (auto _ : state) {
        rig.run();
    }
    state.counters["records_per_s"] = benchmark::Counter(double(count), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_DownloadPaced115200(benchmark::State& state)
{
    const int count = int(state.range(0));
    PtyDownload rig(count, 115200);
    int64_t lineBytes = 0;
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        lineBytes = rig.run();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    // Ten bits a byte on the line (start, eight data, stop).
    const double wireSeconds = double(lineBytes) * 10.0 / 115200.0 * double(state.iterations());
    state.counters["share_of_wire_speed"] = wireSeconds / seconds;
}

class QuietPrompter : public Prompter {
public:
    using Prompter::ask;
    PromptAnswer ask(const QString&, const QString&, PromptIcon, PromptButtons, PromptAnswer) override
    {
        return PromptAnswer::Yes;
    }
};
class NoDialogs : public FileDialogs {
public:
    std::optional<QString> openFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> saveFile(const FileDialogRequest&) override { return std::nullopt; }
};
class NoCursor : public BusyCursor {
public:
    void setBusy(bool) override {}
};

// 200 000 records of a 3-analog, 2-pulse logger measuring a pipe's level,
// flow by Manning's equation with velocity.
struct TableRig {
    TableRig()
    {
        settings.AnalogEnable = {1, 1, 1, 0, 0, 0, 0, 0};
        settings.DigitalEnable = {1, 1};
        settings.EngUnits = {QStringLiteral("ft"), QStringLiteral("degC"), QStringLiteral("mg/L"), {}, {}, {}, {}, {},
                             QStringLiteral("in"), QStringLiteral("gal")};
        settings.DecPlaces = {3, 1, 2, 0, 0, 0, 0, 0, 2, 0};
        settings.RawScaleUpper = {65535, 65535, 65535, 0, 0, 0, 0, 0};
        settings.UpperLimit = {5, 50, 20, 0, 0, 0, 0, 0};
        settings.PulseUnit = {0.01, 1};
        settings.FlowMode = 1;
        settings.ManningsN = 0.013;
        settings.ManningsS = 0.001;
        settings.ManningsD = 1.5;
        records.reset(5);
        QByteArray record(14, '\0');
        for (int i = 0; i < HistoryRecords::Capacity; ++i) {
            const uint32_t time = uint32_t(300 + i / 2976) << 22 | uint32_t(1 + i / 96 % 31) << 17
                                  | uint32_t(i / 4 % 24) << 12 | uint32_t(i % 4 * 15) << 6;
            const int values[5] = {int(20000 + 15000 * std::sin(i / 700.0)) / 16 * 16, 30000 + i % 7, 12000,
                                   i % 3, i / 1000 % 50};
            for (int b = 0; b < 4; ++b) {
                record[b] = char(time >> (8 * b));
            }
            for (int k = 0; k < 5; ++k) {
                record[4 + 2 * k] = char(values[k] >> 8);
                record[5 + 2 * k] = char(values[k]);
            }
            records.appendRecord(record.constData());
        }
    }
    HistoryWindowContext context()
    {
        return {records,  settings, MakeHistoryFlowSource(settings, rating, display), {}, QStringLiteral("Bench"),
                QString(), true,     prompter, dialogs, cursor};
    }

    LoggerSettings settings;
    RatingState rating;
    FlowDisplayState display;
    HistoryRecords records;
    QuietPrompter prompter;
    NoDialogs dialogs;
    NoCursor cursor;
};

TableRig& Table()
{
    static TableRig rig;
    return rig;
}

void BM_OpenTable(benchmark::State& state)
{
    TableRig& rig = Table();
    for (auto _ : state) {
        HistoryWindow window(rig.context());
        window.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(window.view()->model()->rowCount());
    }
    state.counters["peak_MB"] = PeakMegabytes();
}

void BM_Pack(benchmark::State& state)
{
    TableRig& rig = Table();
    HistoryTable table(rig.records, rig.settings, MakeHistoryFlowSource(rig.settings, rig.rating, rig.display));
    for (auto _ : state) {
        table.fill(true);
    }
    state.counters["rows"] = table.rowCount();
    state.counters["peak_MB"] = PeakMegabytes();
}

void BM_Export(benchmark::State& state)
{
    TableRig& rig = Table();
    HistoryTable table(rig.records, rig.settings, MakeHistoryFlowSource(rig.settings, rig.rating, rig.display));
    table.fill(false);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("history.csv"));
    for (auto _ : state) {
        if (!WriteHistoryCsv(path, table, QStringLiteral("Bench,1/1/26,00:00:00"))) {
            state.SkipWithError("export failed");
        }
    }
    state.counters["peak_MB"] = PeakMegabytes();
}

} // namespace

BENCHMARK(BM_DownloadOverPty)->Arg(200000)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_DownloadPaced115200)->Arg(5000)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_OpenTable)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Pack)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Export)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
