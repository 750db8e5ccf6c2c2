#pragma once

#include "config/LoggerSettings.h"

#include "core/DateText.h"
#include "history/HistoryRows.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <span>
#include <utility>
#include <vector>

class HistoryRecords;

// What the table needs of the flow computation: whether channel 1's unit
// allows one, the flow unit's name for the header, and flow and velocity
// from a level.
struct HistoryFlowSource {
    bool FlowUnitsInvalid = true;
    QString FlowUnitName;
    std::function<std::pair<double, double>(double level)> ComputeFlow;
};

struct HistoryColumn {
    enum class Kind { Analog, Pulse, Flow, Velocity };
    Kind kind = Kind::Analog;
    int channel = 0; // analog channel c or pulse channel p
    QString header;
    int widthTwips = 1200;
    int16_t decimals = 0; // places of the column's texts
};

// The history table: which records are rows (all of them, or the packed
// selection) and the text of every cell, computed from the compact records
// when asked. The records are never changed.
class HistoryTable : public HistoryRows {
public:
    // Analog channels of the logger, up to 8, then 2 pulse channels and the
    // flow and velocity columns.
    static constexpr int MaxValueColumns = 12;
    using ProgressFunction = std::function<void(int value)>;

    HistoryTable(const HistoryRecords& records, const LoggerSettings& settings, HistoryFlowSource flow,
                 ShortDateFormat dateFormat = ShortDateFormat());

    // Rebuilds the columns and the rows. With pack, a record becomes a row
    // only when one of its value texts differs from the last row's; the
    // first record always does. Progress runs from 0 to count - 1.
    void fill(bool pack, const ProgressFunction& progress = {});

    const std::vector<HistoryColumn>& columns() const { return columns_; }
    int rowCount() const override { return packed_ ? int(rowRecords_.size()) : recordCount_; }
    // Column 0 is the timestamp; columns 1 ... the value columns.
    int columnCount() const override { return 1 + int(columns_.size()); }
    QString headerText(int column) const override;
    QString cellText(int row, int column) const;
    QString timestampText(int row) const override;
    // The value texts of a row, in column order.
    std::vector<QString> valueTexts(int row) const override;

    // The record a row shows.
    int recordOf(int row) const { return packed_ ? rowRecords_[size_t(row)] : row; }
    bool isPacked() const { return packed_; }
    const HistoryRecords& records() const { return records_; }
    const LoggerSettings& settings() const { return settings_; }
    // The unrounded values behind a record's value texts, in column order
    // (out holds columns().size() values): what a plot of the table draws.
    void recordValues(int record, std::span<double> out) const;

private:
    void buildColumns();
    double engineeringValue(int record, int channel) const;
    std::vector<QString> recordValueTexts(int record) const;
    QString columnText(int record, const HistoryColumn& column, std::pair<double, double> derived) const;
    double columnValue(int record, const HistoryColumn& column, std::pair<double, double> derived) const;
    std::pair<double, double> flowAndVelocity(int record) const;

    const HistoryRecords& records_;
    const LoggerSettings& settings_;
    HistoryFlowSource flow_;
    ShortDateFormat dateFormat_;
    std::vector<HistoryColumn> columns_;
    bool hasFlow_ = false;
    bool hasVelocity_ = false;
    bool packed_ = false;
    int recordCount_ = 0;
    std::vector<int> rowRecords_;
    // Flow and velocity by channel 1's raw count: a level has at most 65 536
    // values, and the flow computation is most of the cost of a row.
    mutable std::vector<std::pair<double, double>> flowByRaw_;
    // Records of one day share their date text: formatting it is most of
    // the cost of a timestamp.
    mutable uint32_t cachedDay_ = 0xFFFFFFFF;
    mutable QString cachedDateText_;
};
