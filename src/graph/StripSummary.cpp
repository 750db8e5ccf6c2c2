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
    const std::vector<float>& values = series.strips[size_t(strip)].values;
    const int end = series.firstAfter(t1);
    double sum = 0.0;
    for (int i = series.firstAtOrAfter(t0); i < end; ++i) {
        const float v = values[size_t(i)];
        if (std::isnan(v)) {
            continue;
        }
        if (summary.samples == 0 || v < values[size_t(summary.lowest)]) {
            summary.lowest = i;
        }
        if (summary.samples == 0 || v > values[size_t(summary.highest)]) {
            summary.highest = i;
        }
        sum += v;
        ++summary.samples;
    }
    if (summary.samples > 0) {
        summary.mean = sum / summary.samples;
    }
    if (series.strips[size_t(strip)].flowUnits >= 0) {
        summary.volume = FlowVolume(series, strip, t0, t1);
    }
    return summary;
}

double FlowVolume(const GraphSeries& series, int strip, double t0, double t1)
{
    const std::vector<float>& values = series.strips[size_t(strip)].values;
    const int begin = std::max(1, series.firstAtOrAfter(t0));
    const int end = std::min(series.count() - 1, series.firstAfter(t1));
    auto gap = std::lower_bound(series.gapsBefore.begin(), series.gapsBefore.end(), begin);
    double volume = 0.0;
    // Segment i runs from sample i - 1 to sample i.
    for (int i = begin; i <= end; ++i) {
        if (gap != series.gapsBefore.end() && *gap == i) {
            ++gap;
            continue;
        }
        const double ta = series.times[size_t(i - 1)];
        const double tb = series.times[size_t(i)];
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
    const int flowUnits = series.strips[size_t(strip)].flowUnits;
    return volume * VolumePerSecond(flowUnits);
}
