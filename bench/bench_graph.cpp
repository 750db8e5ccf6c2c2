// Speed and memory of the history graph over 200 000 records of six strips
// (three analog channels, a pulse channel, flow and velocity) at 1920 x 1080:
// the first full draw, one frame of zooming or panning, opening the window,
// and the memory the graph adds.
// Run: build/bench/bench_graph --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include "QtBenchMain.h"
#include "TableRig.h"
#include "graph/GraphSeries.h"
#include "graph/HistoryGraphSeries.h"
#include "graph/ui/GraphExport.h"
#include "graph/ui/GraphWidget.h"
#include "graph/ui/HistoryGraphWindow.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <malloc.h>
#include <random>

namespace {

const QSize FullHd(1920, 1080);

struct GraphRig : TableRig {
    GraphRig()
    {
        Settings.DigitalEnable = {1, 0};
        Table.Fill(false);
    }
    HistoryGraphContext Context() { return {Table, QStringLiteral("Bench"), QString(), Prompter, Dialogs}; }

    HistoryTable Table{Records, Settings, MakeHistoryFlowSource(Settings, Rating, Display)};
};

GraphRig& Rig()
{
    static GraphRig rig;
    return rig;
}

// Bytes the heap has handed out and not taken back.
double HeapMegabytes()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

// The resident set from /proc, in megabytes.
double ResidentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
        }
    }
    return 0;
}

void BmGraphFirstDraw(benchmark::State& state)
{
    GraphRig& rig = Rig();
    const GraphSeries series = BuildHistoryGraphSeries(rig.Table);
    GraphWidget graph(series);
    QImage image(FullHd, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        graph.render(painter, QRectF(QPointF(0, 0), QSizeF(FullHd)), 1.0);
    }
    state.counters["strips"] = double(series.Strips.size());
    state.counters["samples"] = series.Count();
}

// Each frame zooms in or out a wheel notch or pans a tenth, at random, and draws.
void BmGraphZoomPanFrame(benchmark::State& state)
{
    GraphRig& rig = Rig();
    const GraphSeries series = BuildHistoryGraphSeries(rig.Table);
    GraphWidget graph(series);
    QImage image(FullHd, QImage::Format_RGB32);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    GraphView& view = graph.View();
    for (auto _ : state) {
        const double choice = unit(random);
        const double anchor = view.Start() + unit(random) * view.Span();
        if (choice < 0.4) {
            view.ZoomTime(0.8, anchor);
        } else if (choice < 0.6) {
            view.ZoomTime(1.25, anchor);
        } else {
            view.PanTime((choice < 0.8 ? -0.1 : 0.1) * view.Span());
        }
        if (view.Span() < 3600) {
            view.ShowAll();
        }
        QPainter painter(&image);
        graph.render(painter, QRectF(QPointF(0, 0), QSizeF(FullHd)), 1.0);
    }
}

// From the Graph button to the window painted on screen.
void BmGraphWindowOpen(benchmark::State& state)
{
    GraphRig& rig = Rig();
    for (auto _ : state) {
        HistoryGraphWindow window(rig.Context());
        window.resize(FullHd);
        window.show();
        window.Graph()->repaint();
        QCoreApplication::processEvents();
    }
}

// What the open graph window adds to the heap and the resident set, over
// records and a table that were there before.
void BmGraphMemory(benchmark::State& state)
{
    GraphRig& rig = Rig();
    double heap = 0;
    double resident = 0;
    for (auto _ : state) {
        malloc_trim(0);
        const double heapBefore = HeapMegabytes();
        const double residentBefore = ResidentMegabytes();
        {
            HistoryGraphWindow window(rig.Context());
            window.resize(FullHd);
            window.show();
            window.Graph()->repaint();
            QCoreApplication::processEvents();
            heap = HeapMegabytes() - heapBefore;
            resident = ResidentMegabytes() - residentBefore;
        }
    }
    state.counters["heap_added_MB"] = heap;
    state.counters["rss_added_MB"] = resident;
}

} // namespace

BENCHMARK(BmGraphFirstDraw)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BmGraphZoomPanFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BmGraphWindowOpen)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BmGraphMemory)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

int main(int argc, char** argv)
{
    return RunQtBenchmarks(argc, argv);
}
