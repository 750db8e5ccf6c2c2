#include "history/RecordTable.h"

void RecordTable::fill(bool pack, const ProgressFunction& progress)
{
    columns_ = makeColumns();
    packed_ = pack;
    rowRecords_.clear();
    filledCount_ = recordCount();
    const int count = filledCount_;
    if (!pack) {
        // Every record is a row; its texts are made when the row is shown.
        if (progress) {
            progress(std::max(0, count - 1));
        }
        return;
    }
    std::vector<QString> lastTexts;
    for (int r = 0; r < count; ++r) {
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

QString RecordTable::headerText(int column) const
{
    return column == 0 ? QStringLiteral("Date / Time") : columns_[size_t(column - 1)].header;
}

QString RecordTable::cellText(int row, int column) const
{
    return column == 0 ? timestampText(row) : recordValueText(recordOf(row), column - 1);
}
