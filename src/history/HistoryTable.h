#pragma once

#include "config/LoggerSettings.h"

#include "core/DateText.h"
#include "history/RecordTable.h"

#include <QString>
#include <cstdint>
#include <functional>
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

// The records of the last download as a table: the enabled channels in
// engineering units by the logger's settings, then flow and velocity.
class HistoryTable : public RecordTable {
public:
    HistoryTable(const HistoryRecords& records, const LoggerSettings& settings, HistoryFlowSource flow,
                 ShortDateFormat dateFormat = ShortDateFormat());

    const HistoryRecords& Records() const { return records_; }
    const LoggerSettings& Settings() const { return settings_; }

    int RecordCount() const override;
    double RecordSeconds(int record) const override;
    void RecordValues(int record, std::span<double> out) const override;

protected:
    std::vector<HistoryColumn> MakeColumns() override;
    QString RecordTimestampText(int record) const override;
    std::vector<QString> RecordValueTexts(int record) const override;
    QString RecordValueText(int record, int valueColumn) const override;

private:
    double EngineeringValue(int record, int channel) const;
    QString ColumnText(int record, const HistoryColumn& column, std::pair<double, double> derived) const;
    double ColumnValue(int record, const HistoryColumn& column, std::pair<double, double> derived) const;
    std::pair<double, double> FlowAndVelocity(int record) const;

    const HistoryRecords& records_;
    const LoggerSettings& settings_;
    HistoryFlowSource flow_;
    ShortDateFormat dateFormat_;
    bool hasFlow_ = false;
    bool hasVelocity_ = false;
    // Flow and velocity by channel 1's raw count: a level has at most 65 536
    // values, and the flow computation is most of the cost of a row.
    mutable std::vector<std::pair<double, double>> flowByRaw_;
    // Records of one day share their date text: formatting it is most of
    // the cost of a timestamp.
    mutable uint32_t cachedDay_ = 0xFFFFFFFF;
    mutable QString cachedDateText_;
};
