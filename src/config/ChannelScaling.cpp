#include "config/ChannelScaling.h"

#include "config/LoggerSettings.h"

#include <cmath>

double EngineeringValue(const LoggerSettings& settings, int channel, double raw)
{
    const auto c = static_cast<size_t>(channel);
    const double rawLow = settings.RawScaleLower[c];
    const double rawHigh = settings.RawScaleUpper[c];
    const double euLow = settings.LowerLimit[c];
    const double euHigh = settings.UpperLimit[c];
    const double fraction = rawLow == rawHigh ? 0.0 : (raw - rawLow) / (rawHigh - rawLow);
    return std::fabs(euHigh - euLow) < 0.0001 ? euHigh : (euHigh - euLow) * fraction + euLow;
}
