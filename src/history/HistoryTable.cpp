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

std::vector<HistoryColumn> HistoryTable::MakeColumns()
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
    hasFlow_ = analog > 0 && settings_.AnalogEnable[0] && !flow_.FlowUnitsInvalid && settings_.SelectedFlowMethod() != FlowMethod::None
               && flow_.ComputeFlow;
    hasVelocity_ = hasFlow_ && settings_.SelectedFlowMethod() == FlowMethod::Mannings;
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

int HistoryTable::RecordCount() const
{
    return records_.Count();
}

double HistoryTable::RecordSeconds(int record) const
{
    return SecondsSince2000(records_.PackedTime(record));
}

QString HistoryTable::RecordTimestampText(int record) const
{
    const PackedTime time = PackedTime::FromValue(records_.PackedTime(record));
    const uint32_t day = uint32_t(time.MonthsSince2000) << 5 | uint32_t(time.Day);
    if (day != cachedDay_) {
        cachedDateText_ = dateFormat_.Text(time.Date());
        cachedDay_ = day;
    }
    return cachedDateText_ + u' ' + time.TimeText();
}

QString HistoryTable::RecordValueText(int record, int valueColumn) const
{
    const HistoryColumn& col = Columns()[size_t(valueColumn)];
    const bool derived = col.Type == HistoryColumn::Kind::Flow || col.Type == HistoryColumn::Kind::Velocity;
    return ColumnText(record, col, derived ? FlowAndVelocity(record) : std::pair<double, double>{});
}

std::vector<QString> HistoryTable::RecordValueTexts(int record) const
{
    std::vector<QString> texts;
    texts.reserve(Columns().size());
    const auto derived = hasFlow_ ? FlowAndVelocity(record) : std::pair<double, double>{};
    for (const HistoryColumn& col : Columns()) {
        texts.push_back(ColumnText(record, col, derived));
    }
    return texts;
}

void HistoryTable::RecordValues(int record, std::span<double> out) const
{
    const auto derived = hasFlow_ ? FlowAndVelocity(record) : std::pair<double, double>{};
    for (size_t k = 0; k < Columns().size() && k < out.size(); ++k) {
        out[k] = ColumnValue(record, Columns()[k], derived);
    }
}

QString HistoryTable::ColumnText(int record, const HistoryColumn& col,
                                 std::pair<double, double> derived) const
{
    return FormatDecimals(ColumnValue(record, col, derived), col.Decimals);
}

double HistoryTable::ColumnValue(int record, const HistoryColumn& col, std::pair<double, double> derived) const
{
    switch (col.Type) {
    case HistoryColumn::Kind::Analog:
        return EngineeringValue(record, col.Channel);
    case HistoryColumn::Kind::Pulse:
        return records_.Value(record, settings_.NumAnalogChannels + col.Channel)
               * settings_.PulseUnit[size_t(col.Channel)];
    case HistoryColumn::Kind::Flow:
        return derived.first;
    case HistoryColumn::Kind::Velocity:
        return derived.second;
    }
    return 0.0;
}

std::pair<double, double> HistoryTable::FlowAndVelocity(int record) const
{
    if (flowByRaw_.empty()) {
        flowByRaw_.assign(65536, {std::nan(""), 0.0});
    }
    std::pair<double, double>& known = flowByRaw_[records_.Value(record, 0)];
    if (std::isnan(known.first)) {
        known = flow_.ComputeFlow(EngineeringValue(record, 0));
    }
    return known;
}

double HistoryTable::EngineeringValue(int record, int channel) const
{
    return ::EngineeringValue(settings_, channel, records_.Value(record, channel));
}
