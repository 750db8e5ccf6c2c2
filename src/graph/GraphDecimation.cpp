#include "graph/GraphDecimation.h"

#include "graph/GraphSeries.h"

#include <algorithm>
#include <cmath>

namespace {

// The samples of one pixel column.
struct Column {
    long Index = 0;
    float First = 0, Last = 0, Low = 0, High = 0;
    bool LowFirst = true; // the lowest value came before the highest
    bool Used = false;
};

class RunBuilder {
public:
    void BreakRun()
    {
        Flush();
        if (!Runs.empty() && !Runs.back().empty()) {
            Runs.emplace_back();
        }
    }
    void Point(double x, double y)
    {
        if (Runs.empty()) {
            Runs.emplace_back();
        }
        Runs.back().emplace_back(x, y);
    }
    void Add(long index, float v)
    {
        if (Current.Used && Current.Index != index) {
            Flush();
        }
        if (!Current.Used) {
            Current = {index, v, v, v, v, true, true};
            return;
        }
        Current.Last = v;
        if (v < Current.Low) {
            Current.Low = v;
            Current.LowFirst = false;
        } else if (v > Current.High) {
            Current.High = v;
            Current.LowFirst = true;
        }
    }
    void Flush()
    {
        if (!Current.Used) {
            return;
        }
        const double x = double(Current.Index) + 0.5;
        Point(x, Current.First);
        if (Current.Low != Current.High) {
            Point(x, Current.LowFirst ? Current.Low : Current.High);
            Point(x, Current.LowFirst ? Current.High : Current.Low);
            Point(x, Current.Last);
        }
        Current.Used = false;
    }
    std::vector<PlotRun> Finish()
    {
        Flush();
        if (!Runs.empty() && Runs.back().empty()) {
            Runs.pop_back();
        }
        return std::move(Runs);
    }

    Column Current;
    std::vector<PlotRun> Runs;
};

} // namespace

std::vector<PlotRun> DecimateStrip(const GraphSeries& series, int strip, double t0, double t1, int columns)
{
    if (series.Count() == 0 || t1 <= t0 || columns <= 0) {
        return {};
    }
    const std::vector<float>& values = series.Strips[size_t(strip)].Values;
    const int begin = std::max(0, series.FirstAtOrAfter(t0) - 1);
    const int end = std::min(series.Count(), series.FirstAfter(t1) + 1);
    const double scale = double(columns) / (t1 - t0);
    const bool thin = end - begin > 2 * columns;
    auto gap = std::lower_bound(series.GapsBefore.begin(), series.GapsBefore.end(), begin + 1);

    RunBuilder builder;
    for (int i = begin; i < end; ++i) {
        if (gap != series.GapsBefore.end() && *gap == i) {
            builder.BreakRun();
            ++gap;
        }
        const float v = values[size_t(i)];
        if (std::isnan(v)) {
            builder.BreakRun();
            continue;
        }
        const double x = (series.Times[size_t(i)] - t0) * scale;
        if (thin) {
            builder.Add(long(std::floor(x)), v);
        } else {
            builder.Point(x, v);
        }
    }
    return builder.Finish();
}
