#pragma once

#include <QString>
#include <array>
#include <cstdint>

// How flow is computed from channel 1's level: the settings' FlowMode byte.
enum class FlowMethod : uint8_t { None = 0, Mannings = 1, Flume = 2, Weir = 3, Table = 4 };

// Every setting of the connected logger. Channels count from 0: analog
// channels 0 to 7, pulse channels 0 and 1. EngUnits and DecPlaces hold ten
// entries: 0 to 7 for the analog channels, 8 and 9 for the pulse channels.
struct LoggerSettings {
    QString LoggerName;
    QString SampleInterval; // "1 day", "15 minutes"
    uint8_t NumAnalogChannels = 3;
    uint8_t NumDigitalChannels = 2;
    std::array<uint8_t, 8> AnalogEnable{};
    std::array<uint8_t, 2> DigitalEnable{};
    uint8_t DataWrapAroundFlag = 0;
    uint8_t FixedBaudRate = 0;
    uint8_t SensorWarmupTime = 0; // seconds, 0 to 60
    std::array<QString, 10> EngUnits;
    std::array<uint8_t, 2> AlarmEnable{};
    std::array<int16_t, 2> AlarmHour{};
    std::array<int16_t, 2> AlarmMin{};
    std::array<int16_t, 2> AlarmSec{};
    uint8_t EnableSOD = 0;
    uint8_t LoggingStyle = 0; // bits 0-1: 0 periodic, 1 logarithmic, 2 fast; 128: exception logging
    int32_t Deadband = 0;
    std::array<uint8_t, 10> DecPlaces{};
    std::array<int32_t, 8> RawScaleLower{};
    std::array<int32_t, 8> RawScaleUpper{};
    std::array<double, 8> LowerLimit{};
    std::array<double, 8> UpperLimit{};
    std::array<double, 8> DisplayBottom{};
    std::array<double, 8> DisplayTop{};
    std::array<double, 2> PulseUnit{};
    uint8_t FlowMode = 0;  // 0 none, 1 Manning's, 2 flume, 3 weir, 4 flow table
    uint8_t FlowUnits = 0; // 0 cfs, 1 gpm, 2 mgd, 3 cms, 4 lps
    double FlowTop = 0.0;
    uint8_t VelUnits = 0; // 0 ft/s, 1 m/s
    double VelTop = 0.0;
    double ManningsN = 0.0;
    double ManningsS = 0.0;
    uint8_t ManningsSType = 0; // 0 decimal (rise/run), 1 percent
    double ManningsD = 0.0;
    uint8_t ManningsDType = 0; // 0 feet, 1 inches, 2 meters, 3 cm
    QString FlumeTag;
    QString WeirTag;
    double LevelOffset = 0.0;
    uint8_t LevelOffsetType = 0; // 0 feet, 1 inches, 2 meters, 3 cm
    QString TablePath;

    // Beside the record: the logger reports whether it can sample on demand.
    bool SodSupported = false;

    FlowMethod SelectedFlowMethod() const { return FlowMethod(FlowMode); }
};
