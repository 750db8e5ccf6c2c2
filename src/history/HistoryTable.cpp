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

void HistoryTable::buildColumns()
{
    columns_.clear();
    const int analog = std::min<int>(settings_.NumAnalogChannels, 8);
    const int pulse = std::min<int>(settings_.NumDigitalChannels, 2);
    for (int c = 0; c < analog; ++c) {
        if (settings_.AnalogEnable[size_t(c)]) {
            columns_.push_back({HistoryColumn::Kind::Analog, c, settings_.EngUnits[size_t(c)], 1200,
                                settings_.DecPlaces[size_t(c)]});
        }
    }
    for (int p = 0; p < pulse; ++p) {
        if (settings_.DigitalEnable[size_t(p)]) {
            columns_.push_back({HistoryColumn::Kind::Pulse, p, settings_.EngUnits[size_t(8 + p)], 1440,
                                settings_.DecPlaces[size_t(8 + p)]});
        }
    }
    hasFlow_ = analog > 0 && settings_.AnalogEnable[0] && !flow_.FlowUnitsInvalid && settings_.FlowMode != 0
               && flow_.ComputeFlow;
    hasVelocity_ = hasFlow_ && settings_.FlowMode == 1;
    // In the table flow and velocity carry channel 1's decimal places.
    if (hasFlow_) {
        columns_.push_back({HistoryColumn::Kind::Flow, 0, QStringLiteral("Flow (") + flow_.FlowUnitName + u')', 1200,
                            settings_.DecPlaces[0]});
    }
    if (hasVelocity_) {
        columns_.push_back({HistoryColumn::Kind::Velocity, 0,
                            settings_.VelUnits == 0 ? QStringLiteral("Vel (FPS)") : QStringLiteral("Vel (MPS)"),
                            1200, settings_.DecPlaces[0]});
    }
}

void HistoryTable::fill(bool pack, const ProgressFunction& progress)
{
    buildColumns();
    flowByRaw_.clear();
    packed_ = pack;
    recordCount_ = records_.count();
    rowRecords_.clear();
    if (!pack) {
        // Every record is a row; its texts are made when the row is shown.
        if (progress) {
            progress(std::max(0, recordCount_ - 1));
        }
        return;
    }
    std::vector<QString> lastTexts;
    for (int r = 0; r < recordCount_; ++r) {
        if (progress) {
            progress(r);
        }
        std::vector<QString> texts = recordValueTexts(r);
        if (r == 0 || texts != lastTexts) {
            rowRecords_.push_back(r);
            lastTexts = std::move(texts);
        }
    }
}

QString HistoryTable::headerText(int column) const
{
    return column == 0 ? QStringLiteral("Date / Time") : columns_[size_t(column - 1)].header;
}

QString HistoryTable::timestampText(int row) const
{
    const PackedTime time = PackedTime::FromValue(records_.packedTime(recordOf(row)));
    const uint32_t day = uint32_t(time.MonthsSince2000) << 5 | uint32_t(time.Day);
    if (day != cachedDay_) {
        cachedDateText_ = dateFormat_.text(time.date());
        cachedDay_ = day;
    }
    return cachedDateText_ + u' ' + time.timeText();
}

QString HistoryTable::cellText(int row, int column) const
{
    if (column == 0) {
        return timestampText(row);
    }
    const int record = recordOf(row);
    const HistoryColumn& col = columns_[size_t(column - 1)];
    const bool derived = col.kind == HistoryColumn::Kind::Flow || col.kind == HistoryColumn::Kind::Velocity;
    return columnText(record, col, derived ? flowAndVelocity(record) : std::pair<double, double>{});
}

std::vector<QString> HistoryTable::valueTexts(int row) const
{
    return recordValueTexts(recordOf(row));
}

std::vector<QString> HistoryTable::recordValueTexts(int record) const
{
    std::vector<QString> texts;
    texts.reserve(columns_.size());
    const auto derived = hasFlow_ ? flowAndVelocity(record) : std::pair<double, double>{};
    for (const HistoryColumn& col : columns_) {
        texts.push_back(columnText(record, col, derived));
    }
    return texts;
}

void HistoryTable::recordValues(int record, std::span<double> out) const
{
    const auto derived = hasFlow_ ? flowAndVelocity(record) : std::pair<double, double>{};
    for (size_t k = 0; k < columns_.size() && k < out.size(); ++k) {
        out[k] = columnValue(record, columns_[k], derived);
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
