#pragma once

#include "history/HistoryExport.h"
#include "history/HistoryTable.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

class Archive;

// A site as the archive holds it.
struct ArchiveSite {
    QString Name;
    qint64 RecordCount = 0;
    // The oldest and newest record times (see ArchiveStamp); none without records.
    std::optional<qint64> FirstStamp;
    std::optional<qint64> LastStamp;
    QDateTime LastCollection; // UTC
};

// Every site, by name. Nothing, with a one-line reason, when the archive
// cannot be read.
std::optional<std::vector<ArchiveSite>> ListSites(Archive& archive, QString* error);

// Record times from `from` up to but not including `to`; an end left out is open.
struct ArchiveRange {
    std::optional<qint64> From;
    std::optional<qint64> To;
};

// A value column of a site's records: the history table's column of that
// kind, channel and header, whichever downloads had it.
struct ArchiveColumn {
    HistoryColumn::Kind Type = HistoryColumn::Kind::Analog;
    int Channel = 0;
    QString Header;
    bool operator==(const ArchiveColumn&) const = default;
};

// Whether records are read with their raw counts; the table and the export need none.
enum class ArchiveRawCounts { Read, Skip };

// A collection as the records of a site refer to it.
struct ArchiveDownloadFacts {
    qint64 Id = 0;
    QDateTime CollectedAt; // UTC
    int UtcOffset = 0;     // the computer's, seconds east of UTC
    std::optional<int> ClockOffset;
    QString Port;
    QString LoggerName;
    bool Complete = true;
    int RecordCount = 0;
    int NewCount = 0;
    uint8_t FlowMode = 0;
    int FlowUnits = 0; // 0 CFS ... 4 LPS
    HistoryFlowDescription FlowDescription;
    // Per column of the records: where the download's records hold it
    // (-1: not at all) and its decimal places.
    std::vector<int> SlotOfColumn;
    std::vector<int> Decimals;
};

// The records of one site in a time range, oldest first, with the values of
// every column that the downloads they came from had.
class ArchiveRecords {
public:
    int Count() const { return int(stamps_.size()); }
    const std::vector<ArchiveColumn>& Columns() const { return columns_; }
    qint64 Stamp(int record) const { return stamps_[size_t(record)]; }
    int Ordinal(int record) const { return ordinals_[size_t(record)]; }
    const ArchiveDownloadFacts& Download(int record) const { return downloads_[size_t(downloadOf_[size_t(record)])]; }
    // The value as scaled at download; none where its download had no such column.
    std::optional<double> Value(int record, int column) const
    {
        const int slot = Download(record).SlotOfColumn[size_t(column)];
        return slot < 0 ? std::nullopt : std::optional(values_[size_t(record) * size_t(slotCount_) + size_t(slot)]);
    }
    // Raw count k as read (analog channels, then pulse channels); -1 where
    // none, or when the records were read without their raw counts.
    int Raw(int record, int k) const
    {
        return k < rawCount_ ? raw_[size_t(record) * size_t(rawCount_) + size_t(k)] : -1;
    }

private:
    friend std::optional<ArchiveRecords> LoadSiteRecords(Archive&, const QString&, ArchiveRange, QString*,
                                                         ArchiveRawCounts);

    std::vector<ArchiveColumn> columns_;
    std::vector<ArchiveDownloadFacts> downloads_;
    std::vector<qint64> stamps_;
    std::vector<int> ordinals_;
    std::vector<int> downloadOf_;
    int slotCount_ = 0;
    std::vector<double> values_;
    int rawCount_ = 0;
    std::vector<int> raw_;
};

// The records of a site in the range. Nothing, with a one-line reason, when
// the archive cannot be read or holds no such site.
std::optional<ArchiveRecords> LoadSiteRecords(Archive& archive, const QString& site, ArchiveRange range,
                                              QString* error, ArchiveRawCounts rawCounts = ArchiveRawCounts::Skip);
