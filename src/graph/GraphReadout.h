#pragma once

#include <QString>
#include <vector>

class ShortDateFormat;
struct GraphSeries;

// The sample nearest to time t (the earlier of two equally near); -1 for an
// empty series.
int NearestSample(const GraphSeries& series, double t);

// "date hh:mm:ss" as the table writes a record's time stamp.
QString GraphTimestampText(double t, const ShortDateFormat& dateFormat);

// A strip's value at a sample as the table or the meter shows it, with the
// strip's decimal places; empty where the sample has no value.
QString StripValueText(const GraphSeries& series, int sample, int strip);

// What the crosshair reads at a sample: its time and each listed strip's
// value with its unit.
struct GraphReadout {
    QString Time;
    std::vector<QString> Values; // "2.35 ft", one for each strip asked for
};
GraphReadout ReadAt(const GraphSeries& series, int sample, const std::vector<int>& strips,
                    const ShortDateFormat& dateFormat);

// The readout as one line: the time, then "title: value unit" per strip.
QString ReadoutLine(const GraphSeries& series, int sample, const std::vector<int>& strips,
                    const ShortDateFormat& dateFormat);
