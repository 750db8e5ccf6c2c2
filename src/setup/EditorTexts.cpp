#include "setup/EditorTexts.h"

#include "core/NumberText.h"

#include <cmath>
#include <limits>
#include <stdexcept>

int32_t RoundToWhole(double value)
{
    const double rounded = std::nearbyint(value); // the default mode rounds half to even
    if (!(rounded >= std::numeric_limits<int32_t>::min() && rounded <= std::numeric_limits<int32_t>::max())) {
        throw std::range_error("whole number out of range");
    }
    return static_cast<int32_t>(rounded);
}

namespace {

int16_t ToInt16(double value)
{
    const int32_t whole = RoundToWhole(value);
    if (whole < std::numeric_limits<int16_t>::min() || whole > std::numeric_limits<int16_t>::max()) {
        throw std::range_error("alarm field out of range");
    }
    return static_cast<int16_t>(whole);
}

} // namespace

AlarmDisplay ShowAlarmTime(const AlarmTime& time)
{
    AlarmDisplay shown;
    int hour = time.Hour;
    if (hour == 0) {
        hour = 12;
    } else {
        if (hour >= 12) {
            shown.Half = 1;
        }
        if (hour > 12) {
            hour -= 12;
        }
    }
    shown.Text = QStringLiteral("%1:%2:%3")
                     .arg(hour)
                     .arg(time.Min, 2, 10, QLatin1Char('0'))
                     .arg(time.Sec, 2, 10, QLatin1Char('0'));
    return shown;
}

AlarmTime ReadAlarmTime(const QString& text, int half)
{
    AlarmTime time;
    int hour = ToInt16(LeadingNumber(text));
    const qsizetype firstColon = text.indexOf(QLatin1Char(':'));
    if (firstColon >= 0) {
        time.Min = ToInt16(LeadingNumber(text.mid(firstColon + 1)));
        const qsizetype secondColon = text.indexOf(QLatin1Char(':'), firstColon + 1);
        if (secondColon >= 0) {
            time.Sec = ToInt16(LeadingNumber(text.mid(secondColon + 1)));
        }
    }
    if (half == 0 && hour == 12) {
        hour = 0;
    } else if (half == 1 && hour < 12) {
        hour += 12;
    }
    time.Hour = static_cast<int16_t>(hour);
    return time;
}

QString IntervalCountText(const QString& interval)
{
    return NumberText(LeadingNumber(interval));
}

int IntervalUnitIndex(const QString& interval)
{
    if (interval.contains(QLatin1String("sec"))) {
        return 0;
    }
    if (interval.contains(QLatin1String("min"))) {
        return 1;
    }
    if (interval.contains(QLatin1String("hour"))) {
        return 2;
    }
    return 3;
}

QString ComposeInterval(const QString& countText, const QString& unitItem)
{
    const double count = LeadingNumber(countText);
    QString interval = NumberText(count) + QLatin1Char(' ') + unitItem;
    if (count == 1) {
        interval.chop(1);
    }
    return interval;
}
