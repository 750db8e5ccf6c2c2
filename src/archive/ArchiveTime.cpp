#include "archive/ArchiveTime.h"

#include "core/SampleRecord.h"

namespace {

constexpr qint64 SecondsPerDay = 86400;
const QDate Epoch(2000, 1, 1);

qint64 FloorDiv(qint64 a, qint64 b)
{
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

} // namespace

qint64 ArchiveStamp(QDate date, QTime time)
{
    return Epoch.daysTo(date) * SecondsPerDay + time.msecsSinceStartOfDay() / 1000;
}

qint64 ArchiveStamp(uint32_t packedTime)
{
    const PackedTime t = PackedTime::FromValue(packedTime);
    return Epoch.daysTo(t.Date()) * SecondsPerDay + t.Hour * 3600 + t.Minute * 60 + t.Second;
}

ArchiveTimeText::ArchiveTimeText(ArchiveTimeFormat format, ShortDateFormat dateFormat)
    : format_(format), dateFormat_(std::move(dateFormat))
{
}

QString ArchiveTimeText::Text(qint64 stamp, int utcOffset) const
{
    if (format_ == ArchiveTimeFormat::Utc) {
        stamp -= utcOffset;
    }
    const qint64 day = FloorDiv(stamp, SecondsPerDay);
    if (day != cachedDay_) {
        const QDate date = Epoch.addDays(day);
        cachedDate_ = format_ == ArchiveTimeFormat::ShortDate ? dateFormat_.Text(date)
                                                              : date.toString(Qt::ISODate);
        cachedDay_ = day;
    }
    const int seconds = int(stamp - day * SecondsPerDay);
    const int h = seconds / 3600;
    const int m = seconds / 60 % 60;
    const int s = seconds % 60;
    const char time[10] = {' ', char('0' + h / 10), char('0' + h % 10), ':', char('0' + m / 10),
                           char('0' + m % 10), ':', char('0' + s / 10), char('0' + s % 10), 'Z'};
    return cachedDate_ + QLatin1String(time, format_ == ArchiveTimeFormat::Utc ? 10 : 9);
}
