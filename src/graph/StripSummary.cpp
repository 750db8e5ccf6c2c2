#include "graph/StripSummary.h"

#include "graph/GraphSeries.h"

#include <algorithm>
#include <cmath>

namespace {

// Volume per second of one unit of flow, in the volume unit.
double VolumePerSecond(int flowUnits)
{
    switch (flowUnits) {
    case 1: // gallons a minute
        return 1.0 / 60.0;
    case 2: // millions of gallons a day
        return 1.0e6 / 86400.0;
    default: // cubic feet, cubic metres or litres a second
        return 1.0;
    }
}

} // namespace

QString VolumeUnitName(int flowUnits)
{
    switch (flowUnits) {
    case 0:
        return QStringLiteral("ft\u00B3");
    case 1:
    case 2:
        return QStringLiteral("gal");
    case 3:
        return QStringLiteral("m\u00B3");
    case 4:
        return QStringLiteral("L");
    default:
        return {};
    }
}

StripSummary SummariseStrip(const GraphSeries& series, int strip, double t0, double t1)
{
    StripSummary summary;
    const std::vector<float>& values = series.Strips[size_t(strip)].Values;
    const int end = series.FirstAfter(t1);
    double sum = 0.0;
    for (int i = series.FirstAtOrAfter(t0); i < end; ++i) {
        const float v = values[size_t(i)];
        if (std::isnan(v)) {
            continue;
        }
        if (summary.Samples == 0 || v < values[size_t(summary.Lowest)]) {
            summary.Lowest = i;
        }
        if (summary.Samples == 0 || v > values[size_t(summary.Highest)]) {
            summary.Highest = i;
        }
        sum += v;
        ++summary.Samples;
    }
    if (summary.Samples > 0) {
        summary.Mean = sum / summary.Samples;
    }
    if (series.Strips[size_t(strip)].FlowUnits >= 0) {
        summary.Volume = FlowVolume(series, strip, t0, t1);
    }
    return summary;
}

double FlowVolume(const GraphSeries& series, int strip, double t0, double t1)
{
    const std::vector<float>& values = series.Strips[size_t(strip)].Values;
    const int begin = std::max(1, series.FirstAtOrAfter(t0));
    const int end = std::min(series.Count() - 1, series.FirstAfter(t1));
    auto gap = std::lower_bound(series.GapsBefore.begin(), series.GapsBefore.end(), begin);
    double volume = 0.0;
    // Segment i runs from sample i - 1 to sample i.
    for (int i = begin; i <= end; ++i) {
        if (gap != series.GapsBefore.end() && *gap == i) {
            ++gap;
            continue;
        }
        const double ta = series.Times[size_t(i - 1)];
        const double tb = series.Times[size_t(i)];
        const double qa = values[size_t(i - 1)];
        const double qb = values[size_t(i)];
        if (std::isnan(qa) || std::isnan(qb) || !(tb > ta)) {
            continue;
        }
        const double from = std::max(ta, t0);
        const double to = std::min(tb, t1);
        if (!(to > from)) {
            continue;
        }
        const auto at = [&](double t) { return qa + (qb - qa) * (t - ta) / (tb - ta); };
        volume += (at(from) + at(to)) / 2.0 * (to - from);
    }
    const int flowUnits = series.Strips[size_t(strip)].FlowUnits;
    return volume * VolumePerSecond(flowUnits);
}
