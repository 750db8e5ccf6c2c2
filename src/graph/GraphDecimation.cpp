#include "graph/GraphDecimation.h"

#include "graph/GraphSeries.h"

#include <algorithm>
#include <cmath>

namespace {

// The samples of one pixel column.
struct Column {
    long index = 0;
    float first = 0, last = 0, low = 0, high = 0;
    bool lowFirst = true; // the lowest value came before the highest
    bool used = false;
};

class RunBuilder {
public:
    void breakRun()
    {
        flush();
        if (!runs.empty() && !runs.back().empty()) {
            runs.emplace_back();
        }
    }
    void point(double x, double y)
    {
        if (runs.empty()) {
            runs.emplace_back();
        }
        runs.back().emplace_back(x, y);
    }
    void add(long index, float v)
    {
        if (column.used && column.index != index) {
            flush();
        }
        if (!column.used) {
            column = {index, v, v, v, v, true, true};
            return;
        }
        column.last = v;
        if (v < column.low) {
            column.low = v;
            column.lowFirst = false;
        } else if (v > column.high) {
            column.high = v;
            column.lowFirst = true;
        }
    }
    void flush()
    {
        if (!column.used) {
            return;
        }
        const double x = double(column.index) + 0.5;
        point(x, column.first);
        if (column.low != column.high) {
            point(x, column.lowFirst ? column.low : column.high);
            point(x, column.lowFirst ? column.high : column.low);
            point(x, column.last);
        }
        column.used = false;
    }
    std::vector<PlotRun> finish()
    {
        flush();
        if (!runs.empty() && runs.back().empty()) {
            runs.pop_back();
        }
        return std::move(runs);
    }

    Column column;
    std::vector<PlotRun> runs;
};

} // namespace

std::vector<PlotRun> DecimateStrip(const GraphSeries& series, int strip, double t0, double t1, int columns)
{
    if (series.count() == 0 || t1 <= t0 || columns <= 0) {
        return {};
    }
    const std::vector<float>& values = series.strips[size_t(strip)].values;
    const int begin = std::max(0, series.firstAtOrAfter(t0) - 1);
    const int end = std::min(series.count(), series.firstAfter(t1) + 1);
    const double scale = double(columns) / (t1 - t0);
    const bool thin = end - begin > 2 * columns;
    auto gap = std::lower_bound(series.gapsBefore.begin(), series.gapsBefore.end(), begin + 1);

    RunBuilder builder;
    for (int i = begin; i < end; ++i) {
        if (gap != series.gapsBefore.end() && *gap == i) {
            builder.breakRun();
            ++gap;
        }
        const float v = values[size_t(i)];
        if (std::isnan(v)) {
            builder.breakRun();
            continue;
        }
        const double x = (series.times[size_t(i)] - t0) * scale;
        if (thin) {
            builder.add(long(std::floor(x)), v);
        } else {
            builder.point(x, v);
        }
    }
    return builder.finish();
}
