#pragma once

#include <QString>
#include <vector>

// One point of a rating table: level in feet, flow in cubic feet per second.
struct RatingPoint {
    double Level = 0.0;
    double Flow = 0.0;
};

// The current rating that flow is computed with: the flow table (index 0 is a
// zero placeholder, points 1 to N, N at most 1001) and the power-law
// coefficients of the selected flume or weir. Rebuilt each time the settings
// are read from a logger.
struct RatingState {
    std::vector<RatingPoint> FlowTable{RatingPoint{}, RatingPoint{}};
    double RatingOffset = 0.0;
    double RatingExponent = 0.0;
    double RatingMultiplier = 0.0;
    QString RatingName;
};

// The most points a flow table holds.
inline constexpr int MaxFlowTablePoints = 1001;

// A table of the single point (level 0, flow 0).
inline void ResetFlowTable(RatingState& rating)
{
    rating.FlowTable.assign(2, RatingPoint{});
}

// A table of no point: the placeholder alone.
inline void ClearFlowTable(RatingState& rating)
{
    rating.FlowTable.assign(1, RatingPoint{});
}

// N, the number of the table's last point; 0 for an empty table.
inline int FlowTablePointCount(const RatingState& rating)
{
    return rating.FlowTable.empty() ? 0 : static_cast<int>(rating.FlowTable.size()) - 1;
}
