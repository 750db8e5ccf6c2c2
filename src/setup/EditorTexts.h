#pragma once

#include <QString>
#include <cstdint>

// How the setup window writes alarm times and the sampling interval into
// its boxes, and reads them back.

struct AlarmTime {
    int16_t Hour = 0; // 0 to 23
    int16_t Min = 0;
    int16_t Sec = 0;
};

struct AlarmDisplay {
    QString Text; // 12-hour "h:mm:ss"
    int Half = 0; // 0 "A.M.", 1 "P.M."
};

AlarmDisplay ShowAlarmTime(const AlarmTime& time);
// half: 0 A.M., 1 P.M., -1 nothing selected (the hour stays as typed).
AlarmTime ReadAlarmTime(const QString& text, int half);

// The count and the list position (0 seconds .. 3 days) of an interval text.
QString IntervalCountText(const QString& interval);
int IntervalUnitIndex(const QString& interval);
// "15" with "minutes" gives "15 minutes"; a count of exactly 1 drops the plural "s".
QString ComposeInterval(const QString& countText, const QString& unitItem);

// Rounds half to even, as every whole number the window reads.
int32_t RoundToWhole(double value);
