#include "flow/FlowFromLevel.h"

#include "config/LoggerSettings.h"
#include "flow/FlowDisplayState.h"
#include "config/Rating.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>

namespace {

// The value of pi the flow computation has always used.
constexpr double Pi = 3.14159265358979;

struct FlowAndVelocity {
    double Flow = 0.0;
    double Velocity = 0.0;
};

// Channel 1's level in feet: the unit is told by the first letter of its
// engineering-unit name; anything not inches, meters or cm counts as feet.
double LevelInFeet(double level, const QString& units)
{
    const QString name = units.trimmed().toLower();
    const QChar first = name.isEmpty() ? QChar() : name.at(0);
    if (first == u'i') {
        return LengthInFeet(level, 1);
    }
    if (first == u'm') {
        return LengthInFeet(level, 2);
    }
    if (first == u'c') {
        return LengthInFeet(level, 3);
    }
    return level;
}

FlowAndVelocity ManningsFlow(const LoggerSettings& settings, double level)
{
    const double diameter = std::max(LengthInFeet(settings.ManningsD, settings.ManningsDType), 0.01);
    const double depth = level > diameter ? diameter : level;
    const double perimeter = PipeWettedPerimeter(depth, diameter);
    const double area = PipeFlowArea(depth, diameter);
    const double n = settings.ManningsN < 0.001 ? 0.001 : settings.ManningsN;
    const double slope = settings.ManningsSType != 0 ? settings.ManningsS / 100.0 : settings.ManningsS;
    // The hydraulic radius exponent is 0.667 rather than 2/3: the ratings
    // users compare against were made with it.
    const double velocity = (1.486 / n) * std::pow(slope, 0.5) * std::pow(area / perimeter, 0.667);
    return {velocity * area, velocity};
}

// The segment index i of the table (points i and i + 1 enclose the level)
// found by the table's binary search with 16-bit indices. Only called with
// N >= 3 and the level at or above point 1 and below point N.
int16_t SearchSegment(const std::vector<RatingPoint>& table, int16_t n, double level)
{
    int16_t i = 2;
    int16_t m = n;
    while (m >= 4) {
        i = static_cast<int16_t>(i * 2);
        m = static_cast<int16_t>(m / 2);
    }
    int16_t step = static_cast<int16_t>(i / 2);
    while (step != 0) {
        if (level < table[static_cast<size_t>(i)].Level) {
            i = static_cast<int16_t>(i - step);
            if (i < 1) {
                i = 1;
            }
        } else {
            i = static_cast<int16_t>(i + step);
            if (i > n) {
                i = n;
            }
        }
        step = static_cast<int16_t>(step / 2);
    }
    if (level < table[static_cast<size_t>(i)].Level && i > 1) {
        --i;
    }
    return i;
}

// Flow from the table's points; the straight line from (0, 0) below the
// first point, the last segment extended above the last point.
double TableFlow(const std::vector<RatingPoint>& table, double level)
{
    const auto n = static_cast<int16_t>(table.size() - 1);
    if (n == 1) {
        return 0.0;
    }
    RatingPoint lower;
    RatingPoint upper;
    if (level < table[1].Level) {
        upper = table[1];
    } else if (n == 2) {
        lower = table[1];
        upper = table[2];
    } else if (level >= table[static_cast<size_t>(n)].Level) {
        lower = table[static_cast<size_t>(n - 1)];
        upper = table[static_cast<size_t>(n)];
    } else {
        const auto i = static_cast<size_t>(SearchSegment(table, n, level));
        lower = table[i];
        upper = table[i + 1];
    }
    if (lower.Level < upper.Level) {
        return (upper.Flow - lower.Flow) * (level - lower.Level) / (upper.Level - lower.Level) + lower.Flow;
    }
    return lower.Flow;
}

// The flow for a level in feet, in cfs and feet per second; nothing when the
// mode computes no flow.
std::optional<FlowAndVelocity> FlowInFeetUnits(const LoggerSettings& settings, const RatingState& rating,
                                               double level)
{
    if (settings.SelectedFlowMethod() == FlowMethod::Mannings) {
        return ManningsFlow(settings, level);
    }
    if (FlowTablePointCount(rating) < 1) {
        if (settings.SelectedFlowMethod() == FlowMethod::Flume || settings.SelectedFlowMethod() == FlowMethod::Weir) {
            return FlowAndVelocity{std::pow(level + rating.RatingOffset, rating.RatingExponent) * rating.RatingMultiplier,
                                   0.0};
        }
        return std::nullopt;
    }
    return FlowAndVelocity{TableFlow(rating.FlowTable, level), 0.0};
}

double InFlowUnits(double cfs, uint8_t units)
{
    switch (units) {
    case 1:
        return cfs * 448.8; // GPM
    case 2:
        return cfs * 0.6463; // MGD
    case 3:
        return cfs * 0.02832; // CMS
    case 4:
        return cfs * 7.4805 * 3.7854; // LPS: gallons first, then litres
    default:
        return cfs;
    }
}

FlowAndVelocity ComputeFlowAndVelocity(const LoggerSettings& settings, const RatingState& rating, double level)
{
    if (settings.SelectedFlowMethod() == FlowMethod::None) {
        return {};
    }
    level = LevelInFeet(level, settings.EngUnits[0]);
    if (level <= 0.0) {
        level = 0.0;
    } else {
        level += LengthInFeet(settings.LevelOffset, settings.LevelOffsetType);
        if (level < 0.0) {
            level = 0.0;
        }
    }
    // An infinite or undefined level (or offset) is an arithmetic fault too,
    // even where a clamp further on would hide it.
    if (level == 0.0 || !std::isfinite(level)) {
        return {};
    }
    const std::optional<FlowAndVelocity> inFeet = FlowInFeetUnits(settings, rating, level);
    if (!inFeet) {
        return {};
    }
    // Every velocity unit code but 0 is shown as meters per second (a stored
    // image may hold up to 4), so it is computed as such.
    const FlowAndVelocity result{InFlowUnits(inFeet->Flow, settings.FlowUnits),
                                 settings.VelUnits != 0 ? inFeet->Velocity * 0.3048 : inFeet->Velocity};
    if (!std::isfinite(result.Flow) || !std::isfinite(result.Velocity)) {
        return {};
    }
    return result;
}

// The 32-bit difference of two raw counts, or nothing when it overflows.
std::optional<int32_t> CountDifference(int32_t a, int32_t b)
{
    const int64_t difference = static_cast<int64_t>(a) - b;
    if (difference < std::numeric_limits<int32_t>::min() || difference > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(difference);
}

} // namespace

double ComputeFlow(const LoggerSettings& settings, const RatingState& rating, double level, double& velocity)
{
    const FlowAndVelocity result = ComputeFlowAndVelocity(settings, rating, level);
    velocity = result.Velocity;
    return result.Flow;
}

double LengthInFeet(double value, int code)
{
    switch (code) {
    case 1:
        return value / 12.0;
    case 2:
        return value / 0.3048;
    case 3:
        return value / 100.0 / 0.3048;
    default:
        return value;
    }
}

double ArcCos(double x)
{
    if (x > 0.999999) {
        return 0.0;
    }
    if (x < -0.999999) {
        return Pi;
    }
    return std::atan(-x / std::sqrt(1.0 - x * x)) + 2.0 * std::atan(1.0);
}

namespace {

// Half the angle the wetted arc subtends at the pipe's centre: 0 for an
// empty pipe, pi for a full one.
double WettedHalfAngle(double depth, double diameter)
{
    const double radius = diameter / 2.0;
    const double c = std::clamp((depth - radius) / radius, -1.0, 1.0);
    return Pi - ArcCos(c);
}

} // namespace

double PipeWettedPerimeter(double depth, double diameter)
{
    return WettedHalfAngle(depth, diameter) * diameter;
}

double PipeFlowArea(double depth, double diameter)
{
    const double theta = WettedHalfAngle(depth, diameter);
    const double radius = diameter / 2.0;
    return (theta - std::sin(2.0 * theta) * 0.5) * radius * radius;
}

int16_t DecimalsForRange(double maxValue, double resolution)
{
    if (maxValue >= 4096 || resolution >= 1) {
        return 0;
    }
    if (maxValue >= 409 || resolution >= 0.1) {
        return 1;
    }
    if (maxValue >= 40 || resolution >= 0.01) {
        return 2;
    }
    if (maxValue < 4 && resolution < 0.001) {
        return 4;
    }
    return 3;
}

void EstimateFlowDecimals(const LoggerSettings& settings, const RatingState& rating, bool connected,
                          FlowDisplayState& display)
{
    display.FlowDecimals = 2;
    display.VelocityDecimals = 2;
    const int32_t rawLower = settings.RawScaleLower[0];
    const double euLower = settings.LowerLimit[0];
    const double euSpan = settings.UpperLimit[0] - euLower;
    const std::optional<int32_t> rawSpan = CountDifference(settings.RawScaleUpper[0], rawLower);
    if (!connected || display.FlowUnitsInvalid || !rawSpan || *rawSpan == 0 || !(std::abs(euSpan) >= 0.0001)) {
        return;
    }
    double maxQ = 0.0;
    double maxV = 0.0;
    double maxDQ = 0.0;
    double maxDV = 0.0;
    for (int32_t raw = 0; raw <= 64512; raw += 1024) {
        const std::optional<int32_t> fromLower1 = CountDifference(raw, rawLower);
        const std::optional<int32_t> fromLower2 = CountDifference(raw + 16, rawLower);
        if (!fromLower1 || !fromLower2) {
            return; // the count overflows: keep 2 and 2
        }
        const double level1 = euLower + euSpan * (static_cast<double>(*fromLower1) / *rawSpan);
        const double level2 = euLower + euSpan * (static_cast<double>(*fromLower2) / *rawSpan);
        double v1 = 0.0;
        double v2 = 0.0;
        const double q1 = ComputeFlow(settings, rating, level1, v1);
        const double q2 = ComputeFlow(settings, rating, level2, v2);
        maxQ = std::max(maxQ, q2);
        maxV = std::max(maxV, v2);
        if (q1 > 0 && q2 > 0) {
            maxDQ = std::max(maxDQ, std::abs(q2 - q1));
        }
        if (v1 >= 0 && v2 >= 0) {
            maxDV = std::max(maxDV, std::abs(v2 - v1));
        }
    }
    display.FlowDecimals = DecimalsForRange(maxQ, maxDQ / 10);
    display.VelocityDecimals = DecimalsForRange(maxV, maxDV / 10);
}
