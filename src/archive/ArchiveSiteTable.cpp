#include "archive/ArchiveSiteTable.h"

#include "core/NumberText.h"

#include <cmath>

ArchiveSiteTable::ArchiveSiteTable(ArchiveRecords records, ArchiveTimeFormat timeFormat, ShortDateFormat dateFormat)
    : records_(std::move(records)), time_(timeFormat, std::move(dateFormat))
{
}

const ArchiveDownloadFacts* ArchiveSiteTable::newestDownload() const
{
    const ArchiveDownloadFacts* newest = nullptr;
    for (int r = 0; r < records_.count(); ++r) {
        if (!newest || records_.download(r).id > newest->id) {
            newest = &records_.download(r);
        }
    }
    return newest;
}

std::vector<HistoryColumn> ArchiveSiteTable::makeColumns()
{
    // Places and flow units as the newest download with the column had them.
    std::vector<HistoryColumn> columns;
    const std::vector<ArchiveColumn>& archived = records_.columns();
    for (size_t c = 0; c < archived.size(); ++c) {
        HistoryColumn column{archived[c].kind, archived[c].channel, archived[c].header,
                             archived[c].kind == HistoryColumn::Kind::Pulse ? 1440 : 1200};
        const ArchiveDownloadFacts* source = nullptr;
        for (int r = 0; r < records_.count(); ++r) {
            const ArchiveDownloadFacts& download = records_.download(r);
            if (download.slotOfColumn[c] >= 0 && (!source || download.id > source->id)) {
                source = &download;
            }
        }
        if (source) {
            column.decimals = int16_t(source->decimals[c]);
            if (column.kind == HistoryColumn::Kind::Flow) {
                column.flowUnits = source->flowUnits;
            }
        }
        columns.push_back(std::move(column));
    }
    return columns;
}

QString ArchiveSiteTable::recordTimestampText(int record) const
{
    return time_.text(records_.stamp(record), records_.download(record).utcOffset);
}

QString ArchiveSiteTable::recordValueText(int record, int valueColumn) const
{
    const std::optional<double> value = records_.value(record, valueColumn);
    return value ? FormatDecimals(*value, int16_t(records_.download(record).decimals[size_t(valueColumn)])) : QString();
}

std::vector<QString> ArchiveSiteTable::recordValueTexts(int record) const
{
    std::vector<QString> texts(columns().size());
    for (size_t column = 0; column < texts.size(); ++column) {
        texts[column] = recordValueText(record, int(column));
    }
    return texts;
}

void ArchiveSiteTable::recordValues(int record, std::span<double> out) const
{
    for (size_t column = 0; column < columns().size() && column < out.size(); ++column) {
        out[column] = records_.value(record, int(column)).value_or(std::nan(""));
    }
}
