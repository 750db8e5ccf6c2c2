#include "graph/GraphTime.h"

#include <cmath>

namespace {

const QDate Origin(2000, 1, 1);
constexpr double Day = 86400.0;

} // namespace

double GraphSeconds(QDate date, QTime time)
{
    return double(Origin.daysTo(date)) * Day + time.msecsSinceStartOfDay() / 1000.0;
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
