#include "graph/GraphReadout.h"

#include "core/DateText.h"
#include "core/NumberText.h"
#include "graph/GraphSeries.h"
#include "graph/GraphTime.h"

#include <cmath>

int NearestSample(const GraphSeries& series, double t)
{
    if (series.count() == 0) {
        return -1;
    }
    const int after = series.firstAtOrAfter(t);
    if (after == 0) {
        return 0;
    }
    if (after == series.count()) {
        return after - 1;
    }
    return t - series.times[size_t(after - 1)] <= series.times[size_t(after)] - t ? after - 1 : after;
}

QString GraphTimestampText(double t, const ShortDateFormat& dateFormat)
{
    return dateFormat.text(GraphDate(t)) + u' ' + GraphTimeOfDay(t).toString(QStringLiteral("HH:mm:ss"));
}

QString StripValueText(const GraphSeries& series, int sample, int strip)
{
    const double value = series.value(sample, strip);
    return std::isnan(value) ? QString() : FormatDecimals(value, series.strips[size_t(strip)].decimals);
}

GraphReadout ReadAt(const GraphSeries& series, int sample, const std::vector<int>& strips,
                    const ShortDateFormat& dateFormat)
{
    GraphReadout readout;
    if (sample < 0 || sample >= series.count()) {
        return readout;
    }
    readout.time = GraphTimestampText(series.times[size_t(sample)], dateFormat);
    for (int strip : strips) {
        const QString text = StripValueText(series, sample, strip);
        const QString& unit = series.strips[size_t(strip)].unit;
        readout.values.push_back(text.isEmpty() ? QStringLiteral("-") : unit.isEmpty() ? text : text + u' ' + unit);
    }
    return readout;
}

QString ReadoutLine(const GraphSeries& series, int sample, const std::vector<int>& strips,
                    const ShortDateFormat& dateFormat)
{
    const GraphReadout readout = ReadAt(series, sample, strips, dateFormat);
    QString line = readout.time;
    for (size_t i = 0; i < readout.values.size(); ++i) {
        line += QStringLiteral("    ") + series.strips[size_t(strips[i])].title + QStringLiteral(": ")
                + readout.values[i];
    }
    return line;
}
