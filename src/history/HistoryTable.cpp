#include "history/HistoryTable.h"

#include "config/ChannelScaling.h"
#include "core/NumberText.h"
#include "core/SampleRecord.h"
#include "history/HistoryRecords.h"

#include <cmath>


HistoryTable::HistoryTable(const HistoryRecords& records, const LoggerSettings& settings, HistoryFlowSource flow,
                           ShortDateFormat dateFormat)
    : records_(records), settings_(settings), flow_(std::move(flow)), dateFormat_(std::move(dateFormat))
{
}

std::vector<HistoryColumn> HistoryTable::makeColumns()
{
    std::vector<HistoryColumn> columns;
    flowByRaw_.clear();
    const int analog = std::min<int>(settings_.NumAnalogChannels, 8);
    const int pulse = std::min<int>(settings_.NumDigitalChannels, 2);
    for (int c = 0; c < analog; ++c) {
        if (settings_.AnalogEnable[size_t(c)]) {
            columns.push_back({HistoryColumn::Kind::Analog, c, settings_.EngUnits[size_t(c)], 1200,
                               settings_.DecPlaces[size_t(c)]});
        }
    }
    for (int p = 0; p < pulse; ++p) {
        if (settings_.DigitalEnable[size_t(p)]) {
            columns.push_back({HistoryColumn::Kind::Pulse, p, settings_.EngUnits[size_t(8 + p)], 1440,
                               settings_.DecPlaces[size_t(8 + p)]});
        }
    }
    hasFlow_ = analog > 0 && settings_.AnalogEnable[0] && !flow_.FlowUnitsInvalid && settings_.flowMethod() != FlowMethod::None
               && flow_.ComputeFlow;
    hasVelocity_ = hasFlow_ && settings_.flowMethod() == FlowMethod::Mannings;
    // In the table flow and velocity carry channel 1's decimal places.
    if (hasFlow_) {
        columns.push_back({HistoryColumn::Kind::Flow, 0, QStringLiteral("Flow (") + flow_.FlowUnitName + u')', 1200,
                           settings_.DecPlaces[0], settings_.FlowUnits});
    }
    if (hasVelocity_) {
        columns.push_back({HistoryColumn::Kind::Velocity, 0,
                           settings_.VelUnits == 0 ? QStringLiteral("Vel (FPS)") : QStringLiteral("Vel (MPS)"), 1200,
                           settings_.DecPlaces[0]});
    }
    return columns;
}

int HistoryTable::recordCount() const
{
    return records_.count();
}

double HistoryTable::recordSeconds(int record) const
{
    return SecondsSince2000(records_.packedTime(record));
}

QString HistoryTable::recordTimestampText(int record) const
{
    const PackedTime time = PackedTime::FromValue(records_.packedTime(record));
    const uint32_t day = uint32_t(time.MonthsSince2000) << 5 | uint32_t(time.Day);
    if (day != cachedDay_) {
        cachedDateText_ = dateFormat_.text(time.date());
        cachedDay_ = day;
    }
    return cachedDateText_ + u' ' + time.timeText();
}

QString HistoryTable::recordValueText(int record, int valueColumn) const
{
    const HistoryColumn& col = columns()[size_t(valueColumn)];
    const bool derived = col.kind == HistoryColumn::Kind::Flow || col.kind == HistoryColumn::Kind::Velocity;
    return columnText(record, col, derived ? flowAndVelocity(record) : std::pair<double, double>{});
}

std::vector<QString> HistoryTable::recordValueTexts(int record) const
{
    std::vector<QString> texts;
    texts.reserve(columns().size());
    const auto derived = hasFlow_ ? flowAndVelocity(record) : std::pair<double, double>{};
    for (const HistoryColumn& col : columns()) {
        texts.push_back(columnText(record, col, derived));
    }
    return texts;
}

void HistoryTable::recordValues(int record, std::span<double> out) const
{
    const auto derived = hasFlow_ ? flowAndVelocity(record) : std::pair<double, double>{};
    for (size_t k = 0; k < columns().size() && k < out.size(); ++k) {
        out[k] = columnValue(record, columns()[k], derived);
    }
}

QString HistoryTable::columnText(int record, const HistoryColumn& col,
                                 std::pair<double, double> derived) const
{
    return FormatDecimals(columnValue(record, col, derived), col.decimals);
}

double HistoryTable::columnValue(int record, const HistoryColumn& col, std::pair<double, double> derived) const
{
    switch (col.kind) {
    case HistoryColumn::Kind::Analog:
        return engineeringValue(record, col.channel);
    case HistoryColumn::Kind::Pulse:
        return records_.value(record, settings_.NumAnalogChannels + col.channel)
               * settings_.PulseUnit[size_t(col.channel)];
    case HistoryColumn::Kind::Flow:
        return derived.first;
    case HistoryColumn::Kind::Velocity:
        return derived.second;
    }
    return 0.0;
}

std::pair<double, double> HistoryTable::flowAndVelocity(int record) const
{
    if (flowByRaw_.empty()) {
        flowByRaw_.assign(65536, {std::nan(""), 0.0});
    }
    std::pair<double, double>& known = flowByRaw_[records_.value(record, 0)];
    if (std::isnan(known.first)) {
        known = flow_.ComputeFlow(engineeringValue(record, 0));
    }
    return known;
}

double HistoryTable::engineeringValue(int record, int channel) const
{
    return EngineeringValue(settings_, channel, records_.value(record, channel));
}
