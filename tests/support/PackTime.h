#pragma once

#include <QDateTime>
#include <cstdint>

// A time packed as the logger packs it: months since January 2000 from bit
// 22 up, then the day, hour, minute and second.
inline uint32_t PackTime(int months, int day, int hour = 0, int minute = 0, int second = 0)
{
    return uint32_t(months) << 22 | uint32_t(day) << 17 | uint32_t(hour) << 12 | uint32_t(minute) << 6
           | uint32_t(second);
}

inline uint32_t PackTime(const QDateTime& t)
{
    const QDate d = t.date();
    const QTime h = t.time();
    return PackTime((d.year() - 2000) * 12 + d.month() - 1, d.day(), h.hour(), h.minute(), h.second());
}
