#pragma once

#include "config/DefaultSettings.h"
#include "config/LoggerSettings.h"
#include "config/Rating.h"

#include <QMap>
#include <QString>
#include <QStringList>

// Field texts for DescribeSettings.
namespace settings_description {

inline QString Text(double value) { return QString::number(value, 'g', 17); }
inline QString Text(const QString& value) { return u'"' + value + u'"'; }
inline QString Text(std::integral auto value) { return QString::number(int64_t(value)); }
template <typename T>
void Add(QMap<QString, QString>& fields, const char* name, const T& value)
{
    fields.insert(QLatin1String(name), Text(value));
}
template <typename T, size_t N>
void Add(QMap<QString, QString>& fields, const char* name, const std::array<T, N>& values)
{
    for (size_t i = 0; i < N; ++i) {
        fields.insert(QStringLiteral("%1[%2]").arg(QLatin1String(name)).arg(i), Text(values[i]));
    }
}

} // namespace settings_description

// The factory defaults of a logger with these channel counts.
inline LoggerSettings DefaultRecord(int analogChannels = 3, int digitalChannels = 2)
{
    LoggerSettings settings;
    settings.NumAnalogChannels = uint8_t(analogChannels);
    settings.NumDigitalChannels = uint8_t(digitalChannels);
    RatingState rating;
    ApplyDefaultSettings(settings, rating);
    return settings;
}

// A three-channel record unlike the defaults in every kind of field, with
// values that stand out in its image.
inline LoggerSettings EditedRecord()
{
    LoggerSettings s = DefaultRecord();
    s.LoggerName = "Pump 2";
    s.SampleInterval = "15 minutes";
    s.AnalogEnable = {1, 0, 1, 1, 1, 1, 1, 1};
    s.DigitalEnable = {1, 0};
    s.DataWrapAroundFlag = 0;
    s.FixedBaudRate = 6;
    s.SensorWarmupTime = 45;
    s.EngUnits[1] = QString::fromLatin1("\xB0" "C");
    s.EngUnits[9] = "Litres";
    s.AlarmEnable = {1, 0};
    s.AlarmHour = {23, 12};
    s.AlarmMin = {5, 30};
    s.AlarmSec = {0, 59};
    s.EnableSOD = 1;
    s.LoggingStyle = 129;
    s.Deadband = 250;
    s.DecPlaces = {3, 2, 2, 2, 2, 2, 2, 2, 0, 1};
    s.RawScaleLower = {1200, 0, 100};
    s.RawScaleUpper[0] = 60000;
    s.LowerLimit = {-0.5, 0.0, 0.5};
    s.UpperLimit[0] = 12.345678901234567;
    s.DisplayBottom = {-2.5e6, 0.0, 1.0};
    s.DisplayTop[0] = 1e-7;
    s.PulseUnit[0] = 0.25;
    s.FlowMode = 3;
    s.ManningsN = 0.013;
    s.ManningsS = 0.002;
    s.ManningsSType = 0;
    s.ManningsD = 18;
    s.ManningsDType = 1;
    s.FlumeTag = "PF2";
    s.WeirTag = "V90";
    s.LevelOffset = -1.25;
    s.LevelOffsetType = 3;
    s.FlowUnits = 2;
    s.FlowTop = 1.5;
    s.VelUnits = 1;
    s.VelTop = 3.25;
    s.TablePath = "C:\\Flow Tables\\creek.tbl";
    return s;
}

// Every field of a record as text, keyed by field name ("AnalogEnable[2]"),
// so that tests compare whole records and a failure names the field.
// Doubles are written with all 17 digits, texts in quotes.
inline QMap<QString, QString> DescribeSettings(const LoggerSettings& s)
{
    using namespace settings_description;
    QMap<QString, QString> f;
#define FIELD(name) Add(f, #name, s.name)
    FIELD(LoggerName); FIELD(SampleInterval); FIELD(NumAnalogChannels); FIELD(NumDigitalChannels);
    FIELD(AnalogEnable); FIELD(DigitalEnable); FIELD(DataWrapAroundFlag); FIELD(FixedBaudRate);
    FIELD(SensorWarmupTime); FIELD(EngUnits); FIELD(AlarmEnable); FIELD(AlarmHour); FIELD(AlarmMin);
    FIELD(AlarmSec); FIELD(EnableSOD); FIELD(LoggingStyle); FIELD(Deadband); FIELD(DecPlaces);
    FIELD(RawScaleLower); FIELD(RawScaleUpper); FIELD(LowerLimit); FIELD(UpperLimit); FIELD(DisplayBottom);
    FIELD(DisplayTop); FIELD(PulseUnit); FIELD(FlowMode); FIELD(FlowUnits); FIELD(FlowTop); FIELD(VelUnits);
    FIELD(VelTop); FIELD(ManningsN); FIELD(ManningsS); FIELD(ManningsSType); FIELD(ManningsD);
    FIELD(ManningsDType); FIELD(FlumeTag); FIELD(WeirTag); FIELD(LevelOffset); FIELD(LevelOffsetType);
    FIELD(TablePath); FIELD(SodSupported);
#undef FIELD
    return f;
}

// The entries of `expected` ("Field=text" as DescribeSettings writes it)
// that the record does not match, one line each; "" when all match.
inline QString FieldMismatches(const LoggerSettings& settings, const QStringList& expected)
{
    const QMap<QString, QString> fields = DescribeSettings(settings);
    QString mismatches;
    for (const QString& field : expected) {
        const QString name = field.section(u'=', 0, 0);
        if (!fields.contains(name) || name + u'=' + fields.value(name) != field) {
            mismatches += name + u'=' + fields.value(name, "(no such field)") + " instead of " + field + u'\n';
        }
    }
    return mismatches;
}

// FieldMismatches over every field of `expected`.
inline QString SettingsDifferences(const LoggerSettings& actual, const LoggerSettings& expected)
{
    QStringList fields;
    for (const auto& [name, text] : DescribeSettings(expected).asKeyValueRange()) {
        fields << name + u'=' + text;
    }
    return FieldMismatches(actual, fields);
}
