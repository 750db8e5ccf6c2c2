#include "history/RecordTable.h"

void RecordTable::Fill(bool pack, const ProgressFunction& progress)
{
    columns_ = MakeColumns();
    packed_ = pack;
    rowRecords_.clear();
    filledCount_ = RecordCount();
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
        std::vector<QString> texts = RecordValueTexts(r);
        if (r == 0 || texts != lastTexts) {
            rowRecords_.push_back(r);
            lastTexts = std::move(texts);
        }
    }
}

QString RecordTable::HeaderText(int column) const
{
    return column == 0 ? QStringLiteral("Date / Time") : columns_[size_t(column - 1)].Header;
}

QString RecordTable::CellText(int row, int column) const
{
    return column == 0 ? TimestampText(row) : RecordValueText(RecordOf(row), column - 1);
}
