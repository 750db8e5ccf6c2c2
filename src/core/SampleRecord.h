#pragma once

#include "core/LiveSample.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>

class ShortDateFormat;

// The logger's 32-bit packed time of samples and history records: second in
// bits 0-5, minute 6-11, hour 12-16, day of month 17-21, months since
// January 2000 in bits 22-31.
struct PackedTime {
    int Second = 0;
    int Minute = 0;
    int Hour = 0;
    int Day = 0;
    int MonthsSince2000 = 0;

    static PackedTime FromValue(uint32_t value);
    // Day 0 and a day past the end of the month roll into the neighbouring
    // month (value 0 is 31 December 1999).
    QDate Date() const;
    // "hh:mm:ss", each field with two digits as stored.
    QString TimeText() const;
};

// A packed time in seconds since 1 January 2000 00:00:00, every day
// 86 400 s long; a day or hour beyond its range rolls over.
double SecondsSince2000(uint32_t packedTime);

// Reads a 32-bit little-endian value at the offset.
uint32_t ReadPackedTimeValue(const char* bytes);

// The timestamp text of a record: short date, a blank, "hh:mm:ss".
QString TimestampText(uint32_t packedTime, const ShortDateFormat& dateFormat);

// Decodes the packed timestamp at the offset and the count (at most 10) of
// unsigned 16-bit values that follow it, each high byte first. False, with
// the sample cleared, when the buffer is too short.
bool DecodeSampleRecord(const QByteArray& buffer, int offset, int count, LiveSample& sample);
bool DecodeSampleRecord(const QByteArray& buffer, int offset, int count, LiveSample& sample,
                        const ShortDateFormat& dateFormat);

// Rearranges a 24-byte sample frame of a logger with fewer than 8 analog
// channels so that the analog channels come first, followed by the pulse
// channels: the logger reports its last analog channel in slot 8.
void CompactSampleFrame(QByteArray& frame, int numAnalogChannels, int numDigitalChannels);
