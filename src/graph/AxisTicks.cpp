#include "graph/AxisTicks.h"

#include "core/DateText.h"
#include "core/NumberText.h"
#include "graph/GraphTime.h"

#include <array>
#include <cmath>

namespace {

constexpr double Day = 86400.0;

using Unit = TimeStep::Unit;

constexpr std::array<TimeStep, 22> SubYearSteps{{
    {Unit::Second, 1}, {Unit::Second, 2}, {Unit::Second, 5}, {Unit::Second, 10}, {Unit::Second, 15},
    {Unit::Second, 30}, {Unit::Second, 60}, {Unit::Second, 120}, {Unit::Second, 300}, {Unit::Second, 600},
    {Unit::Second, 900}, {Unit::Second, 1800}, {Unit::Second, 3600}, {Unit::Second, 7200},
    {Unit::Second, 10800}, {Unit::Second, 21600}, {Unit::Second, 43200}, {Unit::Day, 1}, {Unit::Day, 2},
    {Unit::Day, 7}, {Unit::Month, 1}, {Unit::Month, 2},
}};

// 2000-01-03, the first Monday of the axis' origin year.
constexpr double FirstMonday = 2 * Day;

int MonthIndex(QDate date)
{
    return date.year() * 12 + date.month() - 1;
}

QDate MonthStart(int index)
{
    return QDate(index / 12, index % 12 + 1, 1);
}

QString TimeLabel(double t, bool withSeconds)
{
    return GraphTimeOfDay(t).toString(withSeconds ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
}

} // namespace

double TimeStep::Seconds() const
{
    switch (Units) {
    case Unit::Second:
        return Count;
    case Unit::Day:
        return Count * Day;
    case Unit::Month:
        return Count * 30.44 * Day;
    case Unit::Year:
        return Count * 365.25 * Day;
    }
    return Count;
}

TimeStep ChooseTimeStep(double span, double pixels, double minPixels)
{
    const double least = pixels > 0 ? span * minPixels / pixels : span;
    for (const TimeStep& step : SubYearSteps) {
        if (step.Seconds() >= least) {
            return step;
        }
    }
    for (const TimeStep step : {TimeStep{Unit::Month, 3}, TimeStep{Unit::Month, 6}}) {
        if (step.Seconds() >= least) {
            return step;
        }
    }
    for (int years = 1;; years *= 10) {
        for (int factor : {1, 2, 5}) {
            const TimeStep step{Unit::Year, years * factor};
            if (step.Seconds() >= least || years >= 1000) {
                return step;
            }
        }
    }
}

std::vector<TimeTick> TimeTicks(double t0, double t1, double pixels, double minPixels,
                                const ShortDateFormat& dateFormat, const QLocale& locale)
{
    std::vector<TimeTick> ticks;
    if (!(t1 > t0)) {
        return ticks;
    }
    const TimeStep step = ChooseTimeStep(t1 - t0, pixels, minPixels);
    if (step.Units == Unit::Second || step.Units == Unit::Day) {
        const double length = step.Seconds();
        const double origin = step.Units == Unit::Day && step.Count == 7 ? FirstMonday : 0.0;
        QDate lastDate;
        for (double t = std::ceil((t0 - origin) / length) * length + origin; t <= t1; t += length) {
            TimeTick tick{t, {}, {}};
            if (step.Units == Unit::Day) {
                tick.Label = dateFormat.Text(GraphDate(t));
            } else {
                tick.Label = TimeLabel(t, step.Count < 60);
                const QDate date = GraphDate(t);
                if (date != lastDate) {
                    tick.DateLabel = dateFormat.Text(date);
                    lastDate = date;
                }
            }
            ticks.push_back(std::move(tick));
        }
        return ticks;
    }
    const int stepMonths = step.Units == Unit::Year ? 12 * step.Count : step.Count;
    const QDate firstDate = GraphDate(t0);
    int index = MonthIndex(firstDate) + (firstDate.day() == 1 && GraphSeconds(firstDate, QTime(0, 0)) >= t0 ? 0 : 1);
    index = (index + stepMonths - 1) / stepMonths * stepMonths;
    for (;; index += stepMonths) {
        const QDate date = MonthStart(index);
        const double t = GraphSeconds(date, QTime(0, 0));
        if (t > t1) {
            break;
        }
        const QString label = step.Units == Unit::Year ? QString::number(date.year())
                                                      : locale.toString(date, QStringLiteral("MMM yyyy"));
        ticks.push_back({t, label, {}});
    }
    return ticks;
}

std::vector<ValueTick> ValueTicks(double low, double high, double pixels, double minPixels)
{
    std::vector<ValueTick> ticks;
    if (!(high > low) || pixels <= 0) {
        return ticks;
    }
    const double least = (high - low) * minPixels / pixels;
    const double power = std::pow(10.0, std::floor(std::log10(least)));
    double step = 10 * power;
    for (double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= least) {
            step = factor * power;
            break;
        }
    }
    const int decimals = std::clamp(int(-std::floor(std::log10(step) + 1e-9)), 0, 6);
    for (double k = std::ceil(low / step); k * step <= high + step * 1e-9; k += 1.0) {
        const double value = k * step;
        ticks.push_back({value, FormatDecimals(value == 0.0 ? 0.0 : value, int16_t(decimals))});
    }
    return ticks;
}
