#pragma once

#include "history/HistoryRows.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

struct HistoryColumn {
    enum class Kind { Analog, Pulse, Flow, Velocity };
    Kind Type = Kind::Analog;
    int Channel = 0; // analog channel c or pulse channel p
    QString Header;
    int WidthTwips = 1200;
    int16_t Decimals = 0; // places of the column's texts
    int FlowUnits = -1;   // a flow column: its unit code (0 CFS ... 4 LPS)
};

// A table of records shown by the history window: a download's, or a site's
// from the archive. Which records are rows (all of them, or the packed
// selection) is decided here; the texts and values of a record come from
// the kind of table, made when asked. The records are never changed.
class RecordTable : public HistoryRows {
public:
    // Analog channels of the logger, up to 8, then 2 pulse channels and the
    // flow and velocity columns.
    static constexpr int MaxValueColumns = 12;
    using ProgressFunction = std::function<void(int value)>;

    // Rebuilds the columns and the rows. With pack, a record becomes a row
    // only when one of its value texts differs from the last row's; the
    // first record always does. Progress runs from 0 to count - 1.
    void Fill(bool pack, const ProgressFunction& progress = {});

    const std::vector<HistoryColumn>& Columns() const { return columns_; }
    int RowCount() const override { return packed_ ? int(rowRecords_.size()) : filledCount_; }
    // Column 0 is the timestamp; columns 1 ... the value columns.
    int ColumnCount() const override { return 1 + int(columns_.size()); }
    QString HeaderText(int column) const override;
    QString CellText(int row, int column) const;
    QString TimestampText(int row) const override { return RecordTimestampText(RecordOf(row)); }
    std::vector<QString> ValueTexts(int row) const override { return RecordValueTexts(RecordOf(row)); }

    // The record a row shows.
    int RecordOf(int row) const { return packed_ ? rowRecords_[size_t(row)] : row; }
    bool IsPacked() const { return packed_; }

    virtual int RecordCount() const = 0;
    // The record's time by the logger's clock, in seconds since
    // 1 January 2000 00:00:00.
    virtual double RecordSeconds(int record) const = 0;
    // The unrounded values behind a record's value texts, in column order
    // (out holds Columns().size() values; NaN where the record has none):
    // what a plot of the table draws.
    virtual void RecordValues(int record, std::span<double> out) const = 0;

protected:
    virtual std::vector<HistoryColumn> MakeColumns() = 0;
    virtual QString RecordTimestampText(int record) const = 0;
    // The value texts of a record, in column order.
    virtual std::vector<QString> RecordValueTexts(int record) const = 0;
    virtual QString RecordValueText(int record, int valueColumn) const = 0;

private:
    std::vector<HistoryColumn> columns_;
    bool packed_ = false;
    int filledCount_ = 0; // the records there were at the last fill
    std::vector<int> rowRecords_;
};
