#include "WallClock.h"



namespace {

const QDateTime& Epoch()
{
    static const QDateTime epoch(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
    return epoch;
}

} // namespace

int64_t WallSeconds(const QDateTime& localTime)
{
    return WallSeconds(localTime.date(), localTime.time());
}

int64_t WallSeconds(const QDate& date, const QTime& time)
{
    return Epoch().secsTo(QDateTime(date, time, Qt::UTC));
}

QDateTime WallDateTime(int64_t wallSeconds)
{
    return Epoch().addSecs(wallSeconds);
}

uint32_t PackTimestamp(int64_t wallSeconds)
{
    const QDateTime when = WallDateTime(wallSeconds);
    const QDate date = when.date();
    const QTime time = when.time();
    const uint32_t months = static_cast<uint32_t>((date.year() - 2000) * 12 + date.month() - 1);
    return static_cast<uint32_t>(time.second()) | static_cast<uint32_t>(time.minute()) << 6
        | static_cast<uint32_t>(time.hour()) << 12 | static_cast<uint32_t>(date.day()) << 17 | months << 22;
}
