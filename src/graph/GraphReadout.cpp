#include "graph/GraphReadout.h"

#include "core/DateText.h"
#include "core/NumberText.h"
#include "graph/GraphSeries.h"
#include "graph/GraphTime.h"

#include <cmath>

int NearestSample(const GraphSeries& series, double t)
{
    if (series.Count() == 0) {
        return -1;
    }
    const int after = series.FirstAtOrAfter(t);
    if (after == 0) {
        return 0;
    }
    if (after == series.Count()) {
        return after - 1;
    }
    return t - series.Times[size_t(after - 1)] <= series.Times[size_t(after)] - t ? after - 1 : after;
}

QString GraphTimestampText(double t, const ShortDateFormat& dateFormat)
{
    return dateFormat.Text(GraphDate(t)) + u' ' + GraphTimeOfDay(t).toString(QStringLiteral("HH:mm:ss"));
}

QString StripValueText(const GraphSeries& series, int sample, int strip)
{
    const double value = series.Value(sample, strip);
    return std::isnan(value) ? QString() : FormatDecimals(value, series.Strips[size_t(strip)].Decimals);
}

GraphReadout ReadAt(const GraphSeries& series, int sample, const std::vector<int>& strips,
                    const ShortDateFormat& dateFormat)
{
    GraphReadout readout;
    if (sample < 0 || sample >= series.Count()) {
        return readout;
    }
    readout.Time = GraphTimestampText(series.Times[size_t(sample)], dateFormat);
    for (int strip : strips) {
        const QString text = StripValueText(series, sample, strip);
        const QString& unit = series.Strips[size_t(strip)].Unit;
        readout.Values.push_back(text.isEmpty() ? QStringLiteral("-") : unit.isEmpty() ? text : text + u' ' + unit);
    }
    return readout;
}

QString ReadoutLine(const GraphSeries& series, int sample, const std::vector<int>& strips,
                    const ShortDateFormat& dateFormat)
{
    const GraphReadout readout = ReadAt(series, sample, strips, dateFormat);
    QString line = readout.Time;
    for (size_t i = 0; i < readout.Values.size(); ++i) {
        line += QStringLiteral("    ") + series.Strips[size_t(strips[i])].Title + QStringLiteral(": ")
                + readout.Values[i];
    }
    return line;
}
