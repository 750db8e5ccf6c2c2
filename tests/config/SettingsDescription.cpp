#include "SettingsDescription.h"

#include "config/DefaultSettings.h"
#include "flow/Rating.h"

namespace {

QString Text(double value)
{
    return QString::number(value, 'g', 17);
}

template <typename Integer>
    requires std::is_integral_v<Integer>
QString Text(Integer value)
{
    return QString::number(int64_t(value));
}

QString Text(const QString& value)
{
    return u'"' + value + u'"';
}

template <typename T, size_t N>
void AddList(QMap<QString, QString>& fields, const char* name, const std::array<T, N>& values)
{
    for (size_t i = 0; i < N; ++i) {
        fields.insert(QStringLiteral("%1[%2]").arg(QLatin1String(name)).arg(i), Text(values[i]));
    }
}

} // namespace

LoggerSettings DefaultRecord(int analogChannels, int digitalChannels)
{
    LoggerSettings settings;
    settings.NumAnalogChannels = uint8_t(analogChannels);
    settings.NumDigitalChannels = uint8_t(digitalChannels);
    RatingState rating;
    ApplyDefaultSettings(settings, rating);
    return settings;
}

QMap<QString, QString> DescribeSettings(const LoggerSettings& s)
{
    QMap<QString, QString> f;
    f.insert("LoggerName", Text(s.LoggerName));
    f.insert("SampleInterval", Text(s.SampleInterval));
    f.insert("NumAnalogChannels", Text(s.NumAnalogChannels));
    f.insert("NumDigitalChannels", Text(s.NumDigitalChannels));
    AddList(f, "AnalogEnable", s.AnalogEnable);
    AddList(f, "DigitalEnable", s.DigitalEnable);
    f.insert("DataWrapAroundFlag", Text(s.DataWrapAroundFlag));
    f.insert("FixedBaudRate", Text(s.FixedBaudRate));
    f.insert("SensorWarmupTime", Text(s.SensorWarmupTime));
    AddList(f, "EngUnits", s.EngUnits);
    AddList(f, "AlarmEnable", s.AlarmEnable);
    AddList(f, "AlarmHour", s.AlarmHour);
    AddList(f, "AlarmMin", s.AlarmMin);
    AddList(f, "AlarmSec", s.AlarmSec);
    f.insert("EnableSOD", Text(s.EnableSOD));
    f.insert("LoggingStyle", Text(s.LoggingStyle));
    f.insert("Deadband", Text(s.Deadband));
    AddList(f, "DecPlaces", s.DecPlaces);
    AddList(f, "RawScaleLower", s.RawScaleLower);
    AddList(f, "RawScaleUpper", s.RawScaleUpper);
    AddList(f, "LowerLimit", s.LowerLimit);
    AddList(f, "UpperLimit", s.UpperLimit);
    AddList(f, "DisplayBottom", s.DisplayBottom);
    AddList(f, "DisplayTop", s.DisplayTop);
    AddList(f, "PulseUnit", s.PulseUnit);
    f.insert("FlowMode", Text(s.FlowMode));
    f.insert("FlowUnits", Text(s.FlowUnits));
    f.insert("FlowTop", Text(s.FlowTop));
    f.insert("VelUnits", Text(s.VelUnits));
    f.insert("VelTop", Text(s.VelTop));
    f.insert("ManningsN", Text(s.ManningsN));
    f.insert("ManningsS", Text(s.ManningsS));
    f.insert("ManningsSType", Text(s.ManningsSType));
    f.insert("ManningsD", Text(s.ManningsD));
    f.insert("ManningsDType", Text(s.ManningsDType));
    f.insert("FlumeTag", Text(s.FlumeTag));
    f.insert("WeirTag", Text(s.WeirTag));
    f.insert("LevelOffset", Text(s.LevelOffset));
    f.insert("LevelOffsetType", Text(s.LevelOffsetType));
    f.insert("TablePath", Text(s.TablePath));
    f.insert("SodSupported", Text(int(s.SodSupported)));
    return f;
}

QString SettingsDifferences(const LoggerSettings& actual, const LoggerSettings& expected)
{
    const QMap<QString, QString> a = DescribeSettings(actual);
    const QMap<QString, QString> e = DescribeSettings(expected);
    QString differences;
    for (auto it = a.cbegin(); it != a.cend(); ++it) {
        if (e.value(it.key()) != it.value()) {
            differences += it.key() + QStringLiteral(": ") + it.value() + QStringLiteral(" != ") + e.value(it.key()) + u'\n';
        }
    }
    return differences;
}
