#pragma once

#include <QString>
#include <optional>

struct GraphSeries;

// A strip over a span of time: its lowest and highest sample, the mean of
// its samples, and for a flow strip the volume that passed.
struct StripSummary {
    int Samples = 0;      // samples with a value in the span
    int Lowest = -1;      // the sample with the lowest value
    int Highest = -1;     // ... and with the highest
    double Mean = 0.0;
    std::optional<double> Volume; // flow strips: in VolumeUnitName's unit
};

StripSummary SummariseStrip(const GraphSeries& series, int strip, double t0, double t1);

// The flow integrated over t0 ... t1 by the trapezoid rule, in the flow
// unit's volume (CFS: cubic feet, GPM and MGD: gallons, CMS: cubic metres,
// LPS: litres). Nothing is counted across a gap or a missing value; a
// segment cut by the span's ends counts its part inside, interpolated.
double FlowVolume(const GraphSeries& series, int strip, double t0, double t1);

// "ft³", "gal", "m³", "L"; empty for a code that is no flow unit.
QString VolumeUnitName(int flowUnits);
