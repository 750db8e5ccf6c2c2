#include "config/SettingsSummary.h"

#include "core/NumberText.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int MeterColumns = 8;

QString TwoDigits(int value)
{
    const QString digits = QStringLiteral("%1").arg(std::abs(value), 2, 10, QLatin1Char('0'));
    return value < 0 ? u'-' + digits : digits;
}

QString ScheduleText(const LoggerSettings& settings)
{
    switch (settings.LoggingStyle & 3) {
    case 2:
        return QStringLiteral("Fast");
    case 1:
        return QStringLiteral("Logarithmic");
    default:
        return settings.SampleInterval;
    }
}

SettingsSummary::Channel ChannelOf(const LoggerSettings& settings, int c)
{
    SettingsSummary::Channel channel;
    if (settings.AnalogEnable[c] == 0) {
        return channel;
    }
    channel.Shown = true;
    channel.MaxText = FormatDecimals(settings.DisplayTop[c], settings.DecPlaces[c]);
    channel.MinText = FormatDecimals(settings.DisplayBottom[c], settings.DecPlaces[c]);
    channel.UnitsText = settings.EngUnits[c];
    channel.Minimum = settings.DisplayBottom[c];
    channel.Maximum = settings.DisplayTop[c];
    return channel;
}

} // namespace

QString AlarmTimeText(int hour, int minute, int second)
{
    const int shownHour = hour == 0 ? 12 : (hour >= 13 ? hour - 12 : hour);
    return QString::number(shownHour) + u':' + TwoDigits(minute) + u':' + TwoDigits(second) +
           (hour < 12 ? QStringLiteral(" AM") : QStringLiteral(" PM"));
}

SettingsSummary BuildSettingsSummary(const LoggerSettings& settings)
{
    SettingsSummary summary;
    summary.SampleIntervalText = ScheduleText(settings);
    summary.WarmupText = QString::number(settings.SensorWarmupTime) + QStringLiteral(" sec");
    for (int a = 0; a < 2; ++a) {
        summary.AlarmText[a] = AlarmTimeText(settings.AlarmHour[a], settings.AlarmMin[a], settings.AlarmSec[a]);
        summary.AlarmEnabled[a] = settings.AlarmEnable[a] != 0;
    }
    const int channels = std::min<int>(settings.NumAnalogChannels, MeterColumns);
    for (int c = 0; c < channels; ++c) {
        summary.Channels.push_back(ChannelOf(settings, c));
    }
    // With one pulse channel the second frame is switched off; without any,
    // only the first: the second keeps whatever it showed.
    summary.Pulse1Enabled = settings.NumDigitalChannels != 0;
    if (settings.NumDigitalChannels != 0) {
        summary.Pulse2Enabled = settings.NumDigitalChannels != 1;
    }
    return summary;
}

void ApplySummaryToColumns(const SettingsSummary& summary, std::span<MeterColumn> columns)
{
    const size_t count = std::min(summary.Channels.size(), columns.size());
    for (size_t c = 0; c < count; ++c) {
        const SettingsSummary::Channel& channel = summary.Channels[c];
        MeterColumn& column = columns[c];
        column.Shown = channel.Shown;
        column.Minimum = channel.Minimum;
        column.Maximum = channel.Maximum;
        if (!channel.Shown) {
            column.Value = 0.0;
        }
    }
}
