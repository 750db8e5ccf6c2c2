#pragma once

#include "archive/ArchiveRecords.h"
#include "archive/ArchiveTime.h"
#include "history/RecordTable.h"

// A site's records from the archive as a table: the value columns of the
// downloads they came from, each value as the history table showed it at
// download, and empty where a record's download had no such column.
class ArchiveSiteTable : public RecordTable {
public:
    explicit ArchiveSiteTable(ArchiveRecords records, ArchiveTimeFormat timeFormat = ArchiveTimeFormat::ShortDate,
                              ShortDateFormat dateFormat = ShortDateFormat());

    const ArchiveRecords& records() const { return records_; }
    // The newest download among the records, whose flow computation an
    // export names; none without records.
    const ArchiveDownloadFacts* newestDownload() const;

    int recordCount() const override { return records_.count(); }
    double recordSeconds(int record) const override { return double(records_.stamp(record)); }
    void recordValues(int record, std::span<double> out) const override;

protected:
    std::vector<HistoryColumn> makeColumns() override;
    QString recordTimestampText(int record) const override;
    std::vector<QString> recordValueTexts(int record) const override;
    QString recordValueText(int record, int valueColumn) const override;

private:
    ArchiveRecords records_;
    ArchiveTimeText time_;
};
