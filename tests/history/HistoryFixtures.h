#pragma once

#include "PackTime.h"
#include "config/LoggerSettings.h"
#include "history/HistoryRecords.h"
#include "history/HistoryTable.h"

#include <QByteArray>
#include <QtEndian>
#include <vector>

// A 3-analog, 2-pulse logger: channel 1 a level of 0 to 10 ft over raw 0 to 1000 with 2 places, channel 2
// a temperature, channel 3 0 to 100 with 1 place; pulses of 0.5 and 1 unit.
inline LoggerSettings HistoryTestSettings()
{
    LoggerSettings s;
    s.LoggerName = QStringLiteral("Creek 4");
    s.AnalogEnable = {1, 1, 1, 0, 0, 0, 0, 0};
    s.DigitalEnable = {1, 1};
    s.EngUnits = {QStringLiteral("ft"), QStringLiteral("degC"), QStringLiteral("%"), {}, {}, {}, {}, {},
                  QStringLiteral("in"), QStringLiteral("gal")};
    s.DecPlaces = {2, 1, 1, 0, 0, 0, 0, 0, 1, 0};
    s.RawScaleUpper = {1000, 4000, 1000, 0, 0, 0, 0, 0};
    s.LowerLimit = {0, -20, 0, 0, 0, 0, 0, 0};
    s.UpperLimit = {10, 60, 100, 0, 0, 0, 0, 0};
    s.PulseUnit = {0.5, 1.0};
    s.FlowMode = 1;
    return s;
}

// Flow 3 x level and velocity level / 4: easy to check by hand.
inline HistoryFlowSource HistoryTestFlow()
{
    return {false, QStringLiteral("cfs"), [](double level) { return std::pair{3.0 * level, level / 4.0}; }};
}

inline void AppendRecord(HistoryRecords& records, uint32_t time, const std::vector<int>& values)
{
    QByteArray bytes(4 + 2 * records.ValueCount(), '\0');
    qToLittleEndian(time, bytes.data());
    for (size_t k = 0; k < values.size(); ++k) {
        qToBigEndian(uint16_t(values[k]), bytes.data() + 4 + 2 * k);
    }
    records.AppendRecord(bytes.constData());
}
