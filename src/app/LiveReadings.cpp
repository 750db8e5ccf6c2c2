#include "app/LiveReadings.h"

#include "app/Session.h"
#include "core/NumberText.h"

#include <QStringList>
#include <cmath>

namespace {

// The engineering value of a raw count on channel c; a missing raw count
// (-1) counts as the bottom of the raw scale.
double EngineeringValue(const LoggerSettings& settings, size_t c, int32_t raw)
{
    const double rawLow = settings.RawScaleLower[c];
    const double rawHigh = settings.RawScaleUpper[c];
    const double euLow = settings.LowerLimit[c];
    const double euHigh = settings.UpperLimit[c];
    const double value = raw == -1 ? rawLow : raw;
    const double fraction = rawHigh != rawLow ? (value - rawLow) / (rawHigh - rawLow) : 0.0;
    return std::fabs(euHigh - euLow) >= 0.0001 ? (euHigh - euLow) * fraction + euLow : euHigh;
}

QString PulseText(const Session& session, size_t p)
{
    const LoggerSettings& settings = session.Logger;
    const int32_t raw = session.SampleHistory[0].Values[8 + p];
    if (settings.DigitalEnable[p] == 0) {
        return {};
    }
    if (raw == -1) {
        return QStringLiteral("no sample");
    }
    return FormatDecimals(raw * settings.PulseUnit[p], settings.DecPlaces[8 + p]) + QLatin1Char(' ')
        + settings.EngUnits[8 + p];
}

} // namespace

void PushLiveSample(Session& session, const LiveSample& sample)
{
    for (size_t i = session.SampleHistory.size() - 1; i > 0; --i) {
        session.SampleHistory[i] = session.SampleHistory[i - 1];
    }
    session.SampleHistory[0] = sample;
    if (session.Window.SampleCount < 5) {
        ++session.Window.SampleCount;
    }
}

LiveReadingTexts BuildLiveReadings(Session& session)
{
    LiveReadingTexts texts;
    const LoggerSettings& settings = session.Logger;
    const int count = session.Window.SampleCount;
    const size_t channels = std::min<size_t>(settings.NumAnalogChannels, session.Meters.size());
    for (size_t c = 0; c < channels; ++c) {
        MeterColumn& column = session.Meters[c];
        if (!column.Shown) {
            continue;
        }
        std::array<QString, 5> t;
        for (int s = 0; s < 5; ++s) {
            double value = settings.LowerLimit[c];
            if (s < count) {
                const int32_t raw = session.SampleHistory[static_cast<size_t>(s)].Values[c];
                value = EngineeringValue(settings, c, raw);
                t[static_cast<size_t>(s)] = raw == -1 ? QStringLiteral("No sample")
                                                      : FormatDecimals(value, settings.DecPlaces[c]);
                if (c == 0 && raw != -1) {
                    texts.Levels[static_cast<size_t>(s)] = value;
                }
            }
            if (s == 0) {
                column.Value = value;
            }
        }
        LiveReadingTexts::Column& shown = texts.Columns[c];
        shown.Filled = true;
        shown.ValueText = t[0];
        shown.HistoryText = QStringList{t[1], t[2], t[3], t[4]}.join(QStringLiteral("\r\n"));
    }

    if (settings.NumDigitalChannels != 0 && count != 0) {
        texts.Pulse1Text = PulseText(session, 0);
        if (settings.NumDigitalChannels != 1) {
            texts.Pulse2Text = PulseText(session, 1);
        }
    }
    session.Status.LoggerTimeText = session.SampleHistory[0].Timestamp;
    return texts;
}
