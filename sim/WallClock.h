#pragma once

#include <QDateTime>
#include <cstdint>

// The logger keeps local wall-clock time with no notion of time zones or
// daylight saving. The virtual logger counts it in seconds since midnight,
// 1 January 2000, so that arithmetic on it never meets a clock change.
int64_t WallSeconds(const QDateTime& localTime);
int64_t WallSeconds(const QDate& date, const QTime& time);
QDateTime WallDateTime(int64_t wallSeconds);

// The 32-bit packed time of samples and history records: second in bits
// 0-5, minute 6-11, hour 12-16, day 17-21, months since January 2000 22-31.
uint32_t PackTimestamp(int64_t wallSeconds);
