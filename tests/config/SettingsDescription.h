#pragma once

#include "config/DefaultSettings.h"
#include "config/LoggerSettings.h"
#include "config/Rating.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <vector>

namespace record_field {

inline QString Text(double value) { return QString::number(value, 'g', 17); }
inline QString Text(const QString& value) { return u'"' + value + u'"'; }
inline QString Text(std::integral auto value) { return QString::number(int64_t(value)); }
template <typename T>
T& At(T& field, int) { return field; }
template <typename T>
    requires requires { std::tuple_size<std::remove_const_t<T>>::value; }
auto& At(T& list, int i) { return list[size_t(i)]; }
template <typename T>
int Count(const T&) { return 1; }
template <typename T, size_t N>
int Count(const std::array<T, N>&) { return int(N); }

} // namespace record_field

// A field, its entries as text ("AnalogEnable[2]") and its place in the image: entry i lies step bytes after entry 0
// (step 0: bit i of the byte). Value is one the field holds, bytes its image (a text's: its Latin-1 bytes).
struct RecordField {
    QString name;
    int count;
    int offset;
    int step;
    QVariant value;
    QByteArray bytes;
    std::function<QString(const LoggerSettings&, int)> text;
    std::function<void(LoggerSettings&, int, const QVariant&)> set;

    QString entry(int i) const { return count == 1 ? name : QStringLiteral("%1[%2]").arg(name).arg(i); }
};

#define RECORD_FIELD(member, offset, step, value, bytes)                                                   \
    RecordField{#member, record_field::Count(LoggerSettings{}.member), offset, step, value,                 \
                QByteArray::fromHex(bytes),                                                                 \
                [](const LoggerSettings& s, int i) { return record_field::Text(record_field::At(s.member, i)); }, \
                [](LoggerSettings& s, int i, const QVariant& v) {                                            \
                    auto& entry = record_field::At(s.member, i);                                             \
                    entry = qvariant_cast<std::remove_reference_t<decltype(entry)>>(v);                      \
                }}

// Every field at the top of what most fields hold; a text as wide as its field, with a letter beyond ASCII.
inline const std::vector<RecordField>& RecordFields()
{
    const auto letters = [](int width) { return QString::fromLatin1("\xB0").leftJustified(width, u'~'); };
    static const std::vector<RecordField> fields{
        RECORD_FIELD(LoggerName, 0, 32, letters(32), ""),
        RECORD_FIELD(SampleInterval, 32, 0, "2 hours", "020002"),
        RECORD_FIELD(NumAnalogChannels, 35, 0, 3, "03"),
        RECORD_FIELD(NumDigitalChannels, 36, 0, 1, "01"),
        RECORD_FIELD(AnalogEnable, 37, 0, 1, "01"),
        RECORD_FIELD(DigitalEnable, 38, 0, 1, "01"),
        RECORD_FIELD(DataWrapAroundFlag, 39, 0, 1, "01"),
        RECORD_FIELD(FixedBaudRate, 39, 0, 127, "fe"),
        RECORD_FIELD(SensorWarmupTime, 40, 0, 60, "60ea"),
        RECORD_FIELD(AlarmEnable, 42, 1, 1, "01"),
        RECORD_FIELD(EnableSOD, 44, 0, 255, "ff"),
        RECORD_FIELD(LoggingStyle, 45, 0, 255, "ff"),
        RECORD_FIELD(Deadband, 46, 0, 65535, "ffff"),
        RECORD_FIELD(EngUnits, 48, 9, letters(9), ""),
        RECORD_FIELD(AlarmSec, 138, 4, 59, "59"),
        RECORD_FIELD(AlarmMin, 139, 4, 30, "30"),
        RECORD_FIELD(AlarmHour, 140, 4, 99, "99"),
        RECORD_FIELD(DecPlaces, 146, 1, 255, "ff"),
        RECORD_FIELD(RawScaleLower, 156, 2, 4660, "3412"),
        RECORD_FIELD(RawScaleUpper, 172, 2, 65535, "ffff"),
        RECORD_FIELD(PulseUnit, 188, 3, 0.25, "90d063"),
        RECORD_FIELD(LowerLimit, 194, 3, -999999.0, "3f428f"),
        RECORD_FIELD(UpperLimit, 218, 3, 100.0, "a08631"),
        RECORD_FIELD(DisplayBottom, 242, 3, -0.5, "20a1e7"),
        RECORD_FIELD(DisplayTop, 266, 3, 1.0, "a08651"),
        RECORD_FIELD(FlowMode, 290, 0, 4, "04"),
        RECORD_FIELD(ManningsN, 291, 0, 0.25, "90d063"),
        RECORD_FIELD(ManningsS, 294, 0, 0.5, "20a167"),
        RECORD_FIELD(ManningsSType, 297, 0, 1, "01"),
        RECORD_FIELD(ManningsD, 298, 0, 18.0, "20bf42"),
        RECORD_FIELD(ManningsDType, 301, 0, 3, "03"),
        RECORD_FIELD(FlumeTag, 302, 8, letters(8), ""),
        RECORD_FIELD(WeirTag, 310, 8, letters(8), ""),
        RECORD_FIELD(LevelOffset, 318, 0, -1.25, "48e8d1"),
        RECORD_FIELD(LevelOffsetType, 321, 0, 3, "03"),
        RECORD_FIELD(FlowUnits, 322, 0, 4, "04"),
        RECORD_FIELD(FlowTop, 323, 0, 3.25, "88f554"),
        RECORD_FIELD(VelUnits, 326, 0, 4, "04"),
        RECORD_FIELD(VelTop, 327, 0, 1.5, "f04952"),
        RECORD_FIELD(TablePath, 330, 128, letters(128), ""),
    };
    return fields;
}

// Every field zero or empty, on a logger with all its channels that can sample on demand.
inline LoggerSettings BaseRecord()
{
    LoggerSettings s;
    s.NumAnalogChannels = 8;
    s.SampleInterval = "0 second";
    s.SodSupported = true;
    return s;
}

inline LoggerSettings DefaultRecord(int analogChannels = 3, int digitalChannels = 2)
{
    LoggerSettings settings;
    settings.NumAnalogChannels = uint8_t(analogChannels);
    settings.NumDigitalChannels = uint8_t(digitalChannels);
    RatingState rating;
    ApplyDefaultSettings(settings, rating);
    return settings;
}

// Each entry where the record differs from `expected` with `changes` ("AnalogEnable[2]=1"), named; "" if none.
inline QString SettingsDifferences(const LoggerSettings& actual, const LoggerSettings& expected,
                                   const QStringList& changes = {})
{
    QMap<QString, QString> wanted;
    QMap<QString, QString> fields;
    for (const RecordField& field : RecordFields()) {
        for (int i = 0; i < field.count; ++i) {
            wanted.insert(field.entry(i), field.text(expected, i));
            fields.insert(field.entry(i), field.text(actual, i));
        }
    }
    for (const QString& change : changes) {
        wanted.insert(change.section(u'=', 0, 0), change.section(u'=', 1));
    }
    QString differences;
    for (const auto& [name, text] : wanted.asKeyValueRange()) {
        if (fields.value(name) != text) {
            differences += name + u'=' + fields.value(name, "(no such field)") + " instead of " + text + u'\n';
        }
    }
    return differences;
}
