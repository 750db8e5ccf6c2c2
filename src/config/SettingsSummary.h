#pragma once

#include "config/LoggerSettings.h"
#include "core/LiveSample.h"

#include <QString>
#include <array>
#include <optional>
#include <span>
#include <vector>

// What the main window shows of the settings record, worked out without any
// widget. The main window's ShowSettingsSummary refreshes the flow display
// first, then applies this: each text to the label named beside it, the
// enabled flags to the labels and frames named, and ApplySummaryToColumns to
// its meter column records.
struct SettingsSummary {
    // One analog channel; channel c is meter column c.
    struct Channel {
        bool Shown = false;     // the channel is enabled
        QString MaxText;        // lblMax(c)
        QString MinText;        // lblMin(c)
        QString UnitsText;      // lblUnits(c)
        double Minimum = 0.0;   // bottom and top of the column's bar
        double Maximum = 0.0;
        // A hidden channel's lblValue(c) and lblHistory(c) are emptied too
        // (its texts above are empty).
    };

    QString SampleIntervalText;       // lblSampleInterval
    QString WarmupText;               // lblWarmup
    std::array<QString, 2> AlarmText; // lblAlarm(0), lblAlarm(1)
    std::array<bool, 2> AlarmEnabled{};
    // Channels 0 to NumAnalogChannels - 1; the columns after them are left alone.
    std::vector<Channel> Channels;
    bool Pulse1Enabled = false;       // fraPulse1 and lblPulseValue1
    // fraPulse2 and lblPulseValue2; empty when they stay as they are (a
    // logger without pulse channels).
    std::optional<bool> Pulse2Enabled;
};

SettingsSummary BuildSettingsSummary(const LoggerSettings& settings);

// The meter column records of the summary's channels: a shown channel's bar
// range; a hidden channel's column loses its range and its value.
void ApplySummaryToColumns(const SettingsSummary& summary, std::span<MeterColumn> columns);

// An alarm time of day (24-hour clock) as the summary shows it: "12:00:30 AM",
// "11:05:00 PM".
QString AlarmTimeText(int hour, int minute, int second);
