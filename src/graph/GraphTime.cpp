#include "graph/GraphTime.h"

#include "core/SampleRecord.h"

#include <cmath>

namespace {

const QDate Origin(2000, 1, 1);
constexpr double Day = 86400.0;

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

double GraphSeconds(QDate date, QTime time)
{
    return double(Origin.daysTo(date)) * Day + time.msecsSinceStartOfDay() / 1000.0;
}

double GraphSecondsFromPacked(uint32_t packedTime)
{
    // Day 0 and days past the month's end roll over, as in the table.
    const PackedTime t = PackedTime::FromValue(packedTime);
    const long days = DaysToMonthStart(2000 + t.MonthsSince2000 / 12, t.MonthsSince2000 % 12 + 1) + t.Day - 1;
    return double(days) * Day + t.Hour * 3600.0 + t.Minute * 60.0 + t.Second;
}

QDate GraphDate(double seconds)
{
    return Origin.addDays(qint64(std::floor(seconds / Day)));
}

QTime GraphTimeOfDay(double seconds)
{
    const double intoDay = seconds - std::floor(seconds / Day) * Day;
    return QTime::fromMSecsSinceStartOfDay(int(std::min(std::llround(intoDay * 1000.0), qint64(Day * 1000 - 1))));
}
