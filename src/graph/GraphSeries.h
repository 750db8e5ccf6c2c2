#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// One strip of a graph: a quantity in engineering units over time.
struct GraphStrip {
    QString Title;     // "Channel 1 (ft)", "Flow (CFS)"
    QString Unit;      // the value axis' label
    int16_t Decimals = 0;
    int FlowUnits = -1; // a flow strip: its flow unit code (0 CFS ... 4 LPS), whose volume the summary adds up
    // One value a sample, as drawn; NaN where the sample has none. Floats
    // keep 200 000 samples of six strips under 5 MB.
    std::vector<float> Values;
};

// The samples of a graph in time order, with the strips drawn from them.
struct GraphSeries {
    std::vector<double> Times; // seconds, see GraphTime.h; ascending
    std::vector<GraphStrip> Strips;
    // Sample indices i (ascending) where a gap lies between sample i - 1 and i.
    std::vector<int> GapsBefore;
    // The value exactly as the table or meter computes it, for texts: a float
    // can round the other way at the last shown place. Empty: the float.
    std::function<double(int sample, int strip)> ExactValue;
    // The record each sample stands for, where the samples are a selection
    // of records; empty when sample i is record i.
    std::shared_ptr<const std::vector<int>> RecordOfSample;

    int Count() const { return int(Times.size()); }
    double Value(int sample, int strip) const;
    // The first sample at or after t (Count() when none).
    int FirstAtOrAfter(double t) const;
    // The first sample after t (Count() when none).
    int FirstAfter(double t) const;
};

// The logging interval as the records show it: the median of the positive
// spacings (records stamped within the same second, as fast sampling makes
// them, do not count). The settings' interval is no guide: logarithmic,
// fast and exception logging all space records otherwise. 0 for fewer than
// two distinct times.
double TypicalInterval(const std::vector<double>& times);

// Where consecutive samples lie more than 1.5 intervals apart. With
// recordOfSample (a thinned selection of records), only samples that are
// neighbouring records can have a gap between them: the records left out
// in between were there.
std::vector<int> FindGaps(const std::vector<double>& times, double interval,
                          const std::vector<int>& recordOfSample = {});
