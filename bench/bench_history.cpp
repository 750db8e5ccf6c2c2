// Speed of the history: download from the virtual logger over a
// pseudo-terminal (as fast as it goes, and paced at 115 200 baud against the
// wire time), and opening, packing and exporting a table of 200 000 records.
// Run: QT_QPA_PLATFORM=offscreen build/bench/bench_history --benchmark_repetitions=3

#include "LoggerEngine.h"
#include "PtyServer.h"
#include "QtBenchMain.h"
#include "TableRig.h"
#include "config/LoggerSettings.h"
#include "flow/FlowDisplayState.h"
#include "config/Rating.h"
#include "history/HistoryDownload.h"
#include "history/HistoryExport.h"
#include "history/HistoryFlow.h"
#include "history/HistoryRecords.h"
#include "history/ui/HistoryWindow.h"
#include "history/LinkHistoryBlocks.h"
#include "link/FrameCodec.h"
#include "link/LoggerLink.h"
#include "link/PortDirectory.h"
#include "link/QtSerialPort.h"
#include "link/ReplyTicker.h"

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
    bool ReadHistoryBlock(int k, QByteArray& block) override
    {
        QByteArray request(2, char(0x0D));
        request[1] = char(k);
        const bool ok = inner_.ReadHistoryBlock(k, block);
        if (ok) {
            LineBytes += BuildFrame(request).size() + 1 + BuildFrame(block).size();
        }
        return ok;
    }
    bool Settle() override { return inner_.Settle(); }
    int64_t LineBytes = 0;

private:
    HistoryBlockLink& inner_;
};

// One download of the virtual logger's history through a pseudo-terminal
// and the program's own serial port.
struct PtyDownload {
    PtyDownload(int recordCount, int baud) : Engine(Options(recordCount)), Server(Engine, 0, baud)
    {
        QString error;
        if (!Server.Start(&error) || !Server.Announce(Folder.filePath(QStringLiteral("bench")), &error)) {
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
    int64_t Run()
    {
        LinkState state;
        ProgramOptions options;
        state.ReplyTicks = 10;
        PortDirectory directory(Folder.path());
        QtSerialPort port(directory);
        LoggerLink link(port, state, options);
        ReplyTicker ticker(link);
        ticker.Start();
        if (!link.OpenPort(PortDirectory::FixedPortCount + 1, QStringLiteral("115200,N,8,1"))) {
            qFatal("cannot open the virtual logger's port");
        }
        HistoryRecords records;
        LinkHistoryBlocks blocks(link);
        CountingBlocks counting(blocks);
        HistoryDownload download(counting, records, 3, 2);
        const HistoryDownloadEnd end = download.Run();
        link.ClosePort();
        if (end != HistoryDownloadEnd::Complete && end != HistoryDownloadEnd::BufferFull) {
            qFatal("download failed");
        }
        return counting.LineBytes;
    }

    QTemporaryDir Folder;
    LoggerEngine Engine;
    PtyServer Server;
};

void BmDownloadOverPty(benchmark::State& state)
{
    const int count = int(state.range(0));
    PtyDownload rig(count, 0);
    for (auto _ : state) {
        rig.Run();
    }
    state.counters["records_per_s"] = benchmark::Counter(double(count), benchmark::Counter::kIsIterationInvariantRate);
}

void BmDownloadPaced115200(benchmark::State& state)
{
    const int count = int(state.range(0));
    PtyDownload rig(count, 115200);
    int64_t lineBytes = 0;
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        lineBytes = rig.Run();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    // Ten bits a byte on the line (start, eight data, stop).
    const double wireSeconds = double(lineBytes) * 10.0 / 115200.0 * double(state.iterations());
    state.counters["share_of_wire_speed"] = wireSeconds / seconds;
}

TableRig& Table()
{
    static TableRig rig;
    return rig;
}

void BmOpenTable(benchmark::State& state)
{
    TableRig& rig = Table();
    for (auto _ : state) {
        HistoryWindow window(rig.Context());
        window.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(window.View()->model()->rowCount());
    }
    state.counters["peak_MB"] = PeakMegabytes();
}

void BmPack(benchmark::State& state)
{
    TableRig& rig = Table();
    HistoryTable table(rig.Records, rig.Settings, MakeHistoryFlowSource(rig.Settings, rig.Rating, rig.Display));
    for (auto _ : state) {
        table.Fill(true);
    }
    state.counters["rows"] = table.RowCount();
    state.counters["peak_MB"] = PeakMegabytes();
}

void BmExport(benchmark::State& state)
{
    TableRig& rig = Table();
    HistoryTable table(rig.Records, rig.Settings, MakeHistoryFlowSource(rig.Settings, rig.Rating, rig.Display));
    table.Fill(false);
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

BENCHMARK(BmDownloadOverPty)->Arg(200000)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BmDownloadPaced115200)->Arg(5000)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BmOpenTable)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BmPack)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BmExport)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    return RunQtBenchmarks(argc, argv);
}
