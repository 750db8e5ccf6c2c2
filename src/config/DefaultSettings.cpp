#include "config/DefaultSettings.h"

#include "config/Rating.h"

namespace {

struct ChannelDefaults {
    const char* Units;
    int32_t RawUpper;
    double Top; // UpperLimit and DisplayTop; LowerLimit and DisplayBottom are 0
};

ChannelDefaults DefaultsOfChannel(int channel, int numAnalogChannels)
{
    // The logger's last channel is tested first: on a two-channel logger
    // channel 1 is "Volts", not "Temp C".
    if (channel == numAnalogChannels - 1 && channel != 0) {
        return {"Volts", 62384, 24.0};
    }
    if (channel == 0) {
        return {"Feet", 65535, 100.0};
    }
    if (channel == 1) {
        return {"Temp C", 65535, 100.0};
    }
    return {"%", 65535, 100.0};
}

} // namespace

void ApplyDefaultSettings(LoggerSettings& s, RatingState& rating)
{
    s.LoggerName = QStringLiteral("Brevel Logger");
    s.SampleInterval = QStringLiteral("1 day");
    s.DataWrapAroundFlag = 1;
    s.FixedBaudRate = 0;
    s.SensorWarmupTime = 3;
    s.AlarmEnable = {0, 0};
    s.AlarmHour = {0, 0};
    s.AlarmMin = {0, 0};
    s.AlarmSec = {0, 0};
    for (int k = 0; k < 10; ++k) {
        if (k >= 8) {
            s.EngUnits[k] = QStringLiteral("Pulses");
            s.DecPlaces[k] = 0;
            continue;
        }
        const ChannelDefaults channel = DefaultsOfChannel(k, s.NumAnalogChannels);
        s.AnalogEnable[k] = 1;
        s.EngUnits[k] = QString::fromLatin1(channel.Units);
        s.RawScaleLower[k] = 0;
        s.RawScaleUpper[k] = channel.RawUpper;
        s.LowerLimit[k] = 0.0;
        s.UpperLimit[k] = channel.Top;
        s.DisplayBottom[k] = 0.0;
        s.DisplayTop[k] = channel.Top;
        s.DecPlaces[k] = 2;
    }
    s.DigitalEnable = {1, 1};
    s.PulseUnit = {1.0, 1.0};
    s.LoggingStyle = 0;
    s.Deadband = 0;
    s.EnableSOD = 0;
    ApplyDefaultFlowSettings(s);
    ResetFlowTable(rating);
}

void ApplyDefaultFlowSettings(LoggerSettings& s)
{
    s.FlowMode = 1;
    s.ManningsN = 0.014;
    s.ManningsS = 1.0;
    s.ManningsSType = 1;
    s.ManningsD = 1.0;
    s.ManningsDType = 0;
    s.LevelOffset = 0.0;
    s.LevelOffsetType = 1;
    s.TablePath.clear();
    s.FlumeTag.clear();
    s.WeirTag.clear();
    s.FlowUnits = 0;
    s.FlowTop = 100.0;
    s.VelUnits = 0;
    s.VelTop = 100.0;
}
