#pragma once

#include <cstdint>

// Plausible readings of a logger in a storm sewer, the same every time for
// the same seed: channel 1 a water level with a daily swing and occasional
// storms, channel 2 the water temperature, the last channel the battery
// (charged by a solar panel by day), any other channel a percentage; the
// pulse channels are accumulators of a flow meter and a rain gauge. Times
// are the logger's local wall-clock seconds since 1 January 2000.
class SignalModel {
public:
    SignalModel(uint32_t seed, int analogChannels);

    // The raw converter count of analog channel (0-based) at time t, scaled
    // as a factory-set logger scales it (level and temperature 0 to 100 over
    // 0 to 65535, the battery 0 to 24 V over 0 to 62384).
    uint16_t AnalogCount(int channel, int64_t t) const;
    // The pulse accumulator of channel (0 or 1) at t, counted from since.
    uint16_t PulseCount(int channel, int64_t t, int64_t since) const;

    double LevelFeet(int64_t t) const;
    double TemperatureCelsius(int64_t t) const;
    double BatteryVolts(int64_t t) const;

private:
    double UnitNoise(uint64_t stream, int64_t index) const; // in [0, 1)
    double StormRise(int64_t t) const;

    uint32_t seed_;
    int analogChannels_;
};
