#pragma once

#include <QString>
#include <vector>

// What the CSV export writes: rows of a timestamp text ("date time") and
// value texts, under column headers (column 0 is the timestamp). The history
// table is one; the archive's records of a site are another.
class HistoryRows {
public:
    virtual ~HistoryRows() = default;

    virtual int RowCount() const = 0;
    virtual int ColumnCount() const = 0;
    virtual QString HeaderText(int column) const = 0;
    virtual QString TimestampText(int row) const = 0;
    // The value texts of a row, in column order.
    virtual std::vector<QString> ValueTexts(int row) const = 0;
};
