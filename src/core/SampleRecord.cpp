#include "core/SampleRecord.h"

#include "core/DateText.h"

#include <algorithm>

namespace {

// Days from 1 January 2000 to the first of a month, by the civil calendar
// (no QDate: 200 000 records call this when a graph opens).
long DaysToMonthStart(int year, int month)
{
    year -= month <= 2 ? 1 : 0;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const long yearOfEra = year - era * 400;
    const long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 730425; // 730425: 1 March 0000 to 1 January 2000
}

} // namespace

PackedTime PackedTime::FromValue(uint32_t value)
{
    PackedTime t;
    t.Second = int(value & 0x3F);
    t.Minute = int((value >> 6) & 0x3F);
    t.Hour = int((value >> 12) & 0x1F);
    t.Day = int((value >> 17) & 0x1F);
    t.MonthsSince2000 = int(value >> 22);
    return t;
}

QDate PackedTime::Date() const
{
    const QDate firstOfMonth(2000 + MonthsSince2000 / 12, MonthsSince2000 % 12 + 1, 1);
    return firstOfMonth.addDays(Day - 1);
}

QString PackedTime::TimeText() const
{
    const char text[9] = {char('0' + Hour / 10),   char('0' + Hour % 10),   ':',
                          char('0' + Minute / 10), char('0' + Minute % 10), ':',
                          char('0' + Second / 10), char('0' + Second % 10), '\0'};
    return QString::fromLatin1(text, 8);
}

uint32_t ReadPackedTimeValue(const char* bytes)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

QString TimestampText(uint32_t packedTime, const ShortDateFormat& dateFormat)
{
    const PackedTime t = PackedTime::FromValue(packedTime);
    return dateFormat.Text(t.Date()) + u' ' + t.TimeText();
}

bool DecodeSampleRecord(const QByteArray& buffer, int offset, int count, LiveSample& sample,
                        const ShortDateFormat& dateFormat)
{
    count = std::clamp(count, 0, int(sample.Values.size()));
    sample.Timestamp.clear();
    std::fill(sample.Values.begin(), sample.Values.begin() + count, 0);
    if (offset < 0 || buffer.size() < qsizetype(offset) + 4 + 2 * count) {
        return false;
    }
    const char* record = buffer.constData() + offset;
    sample.Timestamp = TimestampText(ReadPackedTimeValue(record), dateFormat);
    for (int k = 0; k < count; ++k) {
        sample.Values[k] = 256 * uint8_t(record[4 + 2 * k]) + uint8_t(record[5 + 2 * k]);
    }
    return true;
}

bool DecodeSampleRecord(const QByteArray& buffer, int offset, int count, LiveSample& sample)
{
    return DecodeSampleRecord(buffer, offset, count, sample, ShortDateFormat());
}

void CompactSampleFrame(QByteArray& frame, int numAnalogChannels, int numDigitalChannels)
{
    const int n = numAnalogChannels;
    if (n == 8 || n < 1 || n > 8 || frame.size() < 24) {
        return;
    }
    if (n != 1) {
        frame[4 + 2 * (n - 1)] = frame[18];
        frame[5 + 2 * (n - 1)] = frame[19];
    }
    const int pulseBytes = 2 * std::clamp(numDigitalChannels, 0, 2);
    for (int i = 0; i < pulseBytes; ++i) {
        frame[4 + 2 * n + i] = frame[20 + i];
    }
}

double SecondsSince2000(uint32_t packedTime)
{
    // Day 0 and days past the month's end roll over, as in the table.
    const PackedTime t = PackedTime::FromValue(packedTime);
    const long days = DaysToMonthStart(2000 + t.MonthsSince2000 / 12, t.MonthsSince2000 % 12 + 1) + t.Day - 1;
    return double(days) * 86400.0 + t.Hour * 3600.0 + t.Minute * 60.0 + t.Second;
}
