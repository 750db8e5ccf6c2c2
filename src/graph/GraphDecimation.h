#pragma once

#include <QPointF>
#include <vector>

struct GraphSeries;

// A strip's line over the time span t0 ... t1 drawn across `columns` pixel
// columns, as runs of points (x in columns from the left edge, y the value):
// a run ends at a gap or a missing value. With more samples than about two
// a column, each column keeps its first, lowest, highest and last value, so
// no extreme is ever dropped (a one-record spike shows at every zoom); with
// fewer, the samples themselves. The sample just outside each end is kept,
// so the line runs to the edges. Scans the series in place: nothing is
// copied or precomputed per zoom.
using PlotRun = std::vector<QPointF>;
std::vector<PlotRun> DecimateStrip(const GraphSeries& series, int strip, double t0, double t1, int columns);
