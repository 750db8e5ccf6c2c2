#include "SignalModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double Day = 86400.0;
constexpr double TwoPi = 2.0 * std::numbers::pi;

uint64_t Mix(uint64_t x)
{
    // splitmix64: a well-spread hash, the same on every platform.
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

uint16_t ToCount(double value, double fullScale, double fullCount)
{
    const double count = std::round(value / fullScale * fullCount);
    return static_cast<uint16_t>(std::clamp(count, 0.0, 65535.0));
}

} // namespace

SignalModel::SignalModel(uint32_t seed, int analogChannels)
    : seed_(seed)
    , analogChannels_(analogChannels)
{
}

double SignalModel::UnitNoise(uint64_t stream, int64_t index) const
{
    const uint64_t h = Mix(Mix(seed_ ^ (stream << 40)) ^ static_cast<uint64_t>(index));
    return static_cast<double>(h >> 11) / 9007199254740992.0; // 2^53
}

// A storm comes on about one day in three: a rise of 0.15 to 0.5 ft that
// peaks at a random hour and lasts a few hours either side.
double SignalModel::StormRise(int64_t t) const
{
    const int64_t today = t / 86400;
    double rise = 0.0;
    for (int64_t day = today - 1; day <= today + 1; ++day) {
        if (UnitNoise(1, day) >= 0.35) {
            continue;
        }
        const double peak = static_cast<double>(day) * Day + UnitNoise(2, day) * Day;
        const double height = 0.15 + 0.35 * UnitNoise(3, day);
        const double width = 3600.0 * (2.0 + 4.0 * UnitNoise(4, day));
        const double x = (static_cast<double>(t) - peak) / width;
        rise += height * std::exp(-x * x);
    }
    return rise;
}

double SignalModel::LevelFeet(int64_t t) const
{
    const double day = static_cast<double>(t) / Day;
    const double daily = 0.10 * std::sin(TwoPi * (day - 0.25));
    const double ripple = 0.006 * (UnitNoise(5, t / 60) - 0.5);
    return std::max(0.02, 0.40 + daily + StormRise(t) + ripple);
}

double SignalModel::TemperatureCelsius(int64_t t) const
{
    const double day = static_cast<double>(t) / Day;
    const double season = 5.0 * std::sin(TwoPi * (day / 365.25 - 0.3));
    const double daily = 1.5 * std::sin(TwoPi * (day - 0.375));
    return 11.0 + season + daily + 0.1 * (UnitNoise(6, t / 60) - 0.5);
}

double SignalModel::BatteryVolts(int64_t t) const
{
    const double day = static_cast<double>(t) / Day;
    const double sun = std::max(0.0, std::sin(TwoPi * (day - 0.25)));
    return 12.45 + 0.6 * sun + 0.02 * (UnitNoise(7, t / 60) - 0.5);
}

uint16_t SignalModel::AnalogCount(int channel, int64_t t) const
{
    if (channel == analogChannels_ - 1 && channel != 0) {
        return ToCount(BatteryVolts(t), 24.0, 62384.0);
    }
    if (channel == 0) {
        return ToCount(LevelFeet(t), 100.0, 65535.0);
    }
    if (channel == 1) {
        return ToCount(TemperatureCelsius(t), 100.0, 65535.0);
    }
    const double day = static_cast<double>(t) / Day;
    return ToCount(45.0 + 25.0 * std::sin(TwoPi * (day / 3.0) + channel), 100.0, 65535.0);
}

uint16_t SignalModel::PulseCount(int channel, int64_t t, int64_t since) const
{
    // Both totals only ever grow: the flow meter's rate swings with the day
    // but stays positive, the rain gauge tips steadily.
    auto total = [channel](int64_t when) {
        const double s = static_cast<double>(when);
        if (channel == 0) {
            return s / 120.0 + 30.0 * (1.0 - std::cos(TwoPi * s / Day));
        }
        return s / 900.0;
    };
    const double counted = std::floor(total(t)) - std::floor(total(since));
    return static_cast<uint16_t>(static_cast<int64_t>(std::max(0.0, counted)) & 0xFFFF);
}
