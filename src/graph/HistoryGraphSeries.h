#pragma once

#include "graph/GraphSeries.h"

class RecordTable;

// The table as a graph: one strip per value column (enabled channels in
// engineering units, then flow and velocity), over the table's rows. A
// packed table left out records that repeated the row before them, so each
// row's value holds until the record before the next row, which the graph
// keeps for that, as it keeps the records on both sides of each gap.
// Samples run in time order, which is download order unless the logger's
// clock was put back while it logged. Texts
// (the crosshair, the summary) come from the table's own values. The series
// reads the table while it lives.
GraphSeries BuildHistoryGraphSeries(const RecordTable& table);

// The record a sample of that series stands for.
int HistoryGraphRecord(const GraphSeries& series, int sample);
