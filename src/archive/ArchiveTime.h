#pragma once

#include "core/DateText.h"

#include <QDate>
#include <QString>
#include <QTime>
#include <cstdint>

// A record's time in the archive: seconds since 2000-01-01 00:00:00 by the
// logger's clock, a local time without a zone, kept as the logger wrote it.
qint64 ArchiveStamp(QDate date, QTime time);
qint64 ArchiveStamp(uint32_t packedTime);

enum class ArchiveTimeFormat {
    ShortDate, // the program's own: short date, a blank, hh:mm:ss, by the logger's clock
    Iso,       // 2026-03-15 09:42:00, by the logger's clock
    Utc,       // 2026-03-15 08:42:00Z: the logger's time less the computer's UTC offset at collection
};

// The "date time" text of stamps in one format; the date text of the last
// day asked for is kept, since formatting it is most of the cost.
class ArchiveTimeText {
public:
    explicit ArchiveTimeText(ArchiveTimeFormat format, ShortDateFormat dateFormat = ShortDateFormat());
    // utcOffset: seconds east of UTC of the computer that collected the record.
    QString Text(qint64 stamp, int utcOffset) const;

private:
    ArchiveTimeFormat format_;
    ShortDateFormat dateFormat_;
    mutable qint64 cachedDay_ = -1;
    mutable QString cachedDate_;
};
