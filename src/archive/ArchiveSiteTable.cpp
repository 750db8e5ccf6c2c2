#include "archive/ArchiveSiteTable.h"

#include "core/NumberText.h"

#include <cmath>

ArchiveSiteTable::ArchiveSiteTable(ArchiveRecords records, ArchiveTimeFormat timeFormat, ShortDateFormat dateFormat)
    : records_(std::move(records)), time_(timeFormat, std::move(dateFormat))
{
}

const ArchiveDownloadFacts* ArchiveSiteTable::NewestDownload() const
{
    const ArchiveDownloadFacts* newest = nullptr;
    for (int r = 0; r < records_.Count(); ++r) {
        if (!newest || records_.Download(r).Id > newest->Id) {
            newest = &records_.Download(r);
        }
    }
    return newest;
}

std::vector<HistoryColumn> ArchiveSiteTable::MakeColumns()
{
    // Places and flow units as the newest download with the column had them.
    std::vector<HistoryColumn> columns;
    const std::vector<ArchiveColumn>& archived = records_.Columns();
    for (size_t c = 0; c < archived.size(); ++c) {
        HistoryColumn column{archived[c].Type, archived[c].Channel, archived[c].Header,
                             archived[c].Type == HistoryColumn::Kind::Pulse ? 1440 : 1200};
        const ArchiveDownloadFacts* source = nullptr;
        for (int r = 0; r < records_.Count(); ++r) {
            const ArchiveDownloadFacts& download = records_.Download(r);
            if (download.SlotOfColumn[c] >= 0 && (!source || download.Id > source->Id)) {
                source = &download;
            }
        }
        if (source) {
            column.Decimals = int16_t(source->Decimals[c]);
            if (column.Type == HistoryColumn::Kind::Flow) {
                column.FlowUnits = source->FlowUnits;
            }
        }
        columns.push_back(std::move(column));
    }
    return columns;
}

QString ArchiveSiteTable::RecordTimestampText(int record) const
{
    return time_.Text(records_.Stamp(record), records_.Download(record).UtcOffset);
}

QString ArchiveSiteTable::RecordValueText(int record, int valueColumn) const
{
    const std::optional<double> value = records_.Value(record, valueColumn);
    return value ? FormatDecimals(*value, int16_t(records_.Download(record).Decimals[size_t(valueColumn)])) : QString();
}

std::vector<QString> ArchiveSiteTable::RecordValueTexts(int record) const
{
    std::vector<QString> texts(Columns().size());
    for (size_t column = 0; column < texts.size(); ++column) {
        texts[column] = RecordValueText(record, int(column));
    }
    return texts;
}

void ArchiveSiteTable::RecordValues(int record, std::span<double> out) const
{
    for (size_t column = 0; column < Columns().size() && column < out.size(); ++column) {
        out[column] = records_.Value(record, int(column)).value_or(std::nan(""));
    }
}
