#pragma once

#include "graph/GraphSeries.h"

#include <deque>

// A strip of the live plot: one meter column.
struct LiveStrip {
    QString Title;
    QString Unit;
    int16_t Decimals = 0;
    int FlowUnits = -1;
    bool operator==(const LiveStrip&) const = default;
};

// The live readings as they arrive, the last day of them kept.
class LiveGraphSeries {
public:
    static constexpr double KeptSeconds = 24 * 3600.0;

    LiveGraphSeries();
    LiveGraphSeries(const LiveGraphSeries&) = delete;
    LiveGraphSeries& operator=(const LiveGraphSeries&) = delete;

    // The columns being read; other columns than before start the plot anew.
    void SetStrips(const std::vector<LiveStrip>& strips);
    const std::vector<LiveStrip>& Strips() const { return strips_; }
    // One reading: a value per strip, NaN where the sample had none. A time
    // before the last reading's (the computer's clock was put back) starts
    // the plot anew. A pause in the readings longer than 1.5 times their
    // recent spacing is a gap.
    void Add(double t, const std::vector<double>& values);
    void Clear();

    const GraphSeries& Series() const { return series_; }

private:
    void DropOlderThan(double t);

    std::vector<LiveStrip> strips_;
    GraphSeries series_;
    std::vector<std::deque<double>> exact_; // the values as the meters show them
    std::deque<double> spacings_;           // the last few spacings of the readings
};
