#include "graph/GraphTime.h"

#include "core/SampleRecord.h"

#include <cmath>

namespace {

const QDate Origin(2000, 1, 1);
constexpr double Day = 86400.0;

} // namespace

double GraphSeconds(QDate date, QTime time)
{
    return double(Origin.daysTo(date)) * Day + time.msecsSinceStartOfDay() / 1000.0;
}

double GraphSecondsFromPacked(uint32_t packedTime)
{
    const PackedTime t = PackedTime::FromValue(packedTime);
    return double(Origin.daysTo(t.date())) * Day + t.Hour * 3600.0 + t.Minute * 60.0 + t.Second;
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
