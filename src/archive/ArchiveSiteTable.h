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

    const ArchiveRecords& Records() const { return records_; }
    // The newest download among the records, whose flow computation an
    // export names; none without records.
    const ArchiveDownloadFacts* NewestDownload() const;

    int RecordCount() const override { return records_.Count(); }
    double RecordSeconds(int record) const override { return double(records_.Stamp(record)); }
    void RecordValues(int record, std::span<double> out) const override;

protected:
    std::vector<HistoryColumn> MakeColumns() override;
    QString RecordTimestampText(int record) const override;
    std::vector<QString> RecordValueTexts(int record) const override;
    QString RecordValueText(int record, int valueColumn) const override;

private:
    ArchiveRecords records_;
    ArchiveTimeText time_;
};
