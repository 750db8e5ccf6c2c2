#pragma once

#include <QLocale>
#include <QString>
#include <vector>

class ShortDateFormat;

// A step of the time axis: so many seconds, days, months or years.
struct TimeStep {
    enum class Unit { Second, Day, Month, Year };
    Unit Units = Unit::Second;
    int Count = 1;
    // Its length in seconds (a month counted as 30.44 days, a year as 365.25).
    double Seconds() const;
};

// The finest step whose ticks lie at least minPixels apart on an axis of
// `pixels` showing `span` seconds: 1, 2, 5, 10, 15, 30 s and min, 1, 2, 3,
// 6, 12 h, 1, 2 days, a week, 1, 2, 3, 6 months, 1, 2, 5, 10 ... years.
TimeStep ChooseTimeStep(double span, double pixels, double minPixels);

struct TimeTick {
    double T = 0;  // seconds, see GraphTime.h
    QString Label; // "14:30", "14:30:15", a short date, "Mar 2024", "2024"
    // Under a tick of a step shorter than a day: its date, on the first tick
    // and where the day changes; otherwise empty.
    QString DateLabel;
};

// The ticks of t0 ... t1 at whole steps of the calendar: on the minute, the
// hour, midnight, Mondays, the first of a month, the first of January.
std::vector<TimeTick> TimeTicks(double t0, double t1, double pixels, double minPixels,
                                const ShortDateFormat& dateFormat, const QLocale& locale = QLocale::system());

struct ValueTick {
    double Value = 0;
    QString Label;
};

// Ticks at 1, 2 or 5 times a power of ten, at least minPixels apart, with as
// many decimal places as the step needs (point as separator).
std::vector<ValueTick> ValueTicks(double low, double high, double pixels, double minPixels);
