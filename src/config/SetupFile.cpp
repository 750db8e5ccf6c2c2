#include "config/SetupFile.h"

#include "config/DefaultSettings.h"
#include "core/DateText.h"
#include "core/ErrorTrap.h"
#include "core/NumberText.h"
#include "core/WholeFileSave.h"
#include "config/Rating.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cmath>
#include <optional>

namespace {

QString Line(const char* key, const QString& value)
{
    return QLatin1String(key) + u'=' + value;
}

template <typename Integer>
    requires std::is_integral_v<Integer>
QString Line(const char* key, Integer value)
{
    return Line(key, QString::number(value));
}

QString Line(const char* key, double value)
{
    return Line(key, NumberText(value));
}

std::optional<QByteArray> Latin1(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines) {
        for (const QChar c : line) {
            if (c.unicode() > 0xFF) {
                return std::nullopt;
            }
            bytes += char(c.unicode());
        }
        bytes += "\r\n";
    }
    return bytes;
}

bool WriteFile(const QString& path, const QStringList& lines)
{
    const std::optional<QByteArray> bytes = Latin1(lines);
    if (!bytes) {
        return false;
    }
    return SaveWholeFile(path, [&](QIODevice& file) { return file.write(*bytes) == bytes->size(); });
}

// ---- reading ----

enum class Section { None, Analog, Digital, Alarm };

Section SectionOf(const QString& header)
{
    if (header.mid(1, 6) == u"Analog") {
        return Section::Analog;
    }
    if (header.mid(1, 7) == u"Digital") {
        return Section::Digital;
    }
    if (header.mid(1, 5) == u"Alarm") {
        return Section::Alarm;
    }
    return Section::None;
}

// Only blanks are trimmed from a value, as they were written.
QString TrimBlanks(const QString& text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text[start] == u' ') {
        ++start;
    }
    while (end > start && text[end - 1] == u' ') {
        --end;
    }
    return text.sliced(start, end - start);
}

// A whole number of the field's type; numeric text is rounded, ties to even.
template <typename Integer>
std::optional<Integer> WholeValue(const QString& value)
{
    const WholeNumber whole = ReadWholeNumber(value);
    if (!whole.Ok || whole.Value < std::numeric_limits<Integer>::min() ||
        whole.Value > std::numeric_limits<Integer>::max()) {
        return std::nullopt;
    }
    return Integer(whole.Value);
}

// A number of a double field; one beyond the range of a double (1E999) cannot be taken.
std::optional<double> FiniteValue(const QString& value)
{
    const double number = NumberValue(value);
    return std::isfinite(number) ? std::optional<double>(number) : std::nullopt;
}

// Stores a converted value at an index of a list; false when the value did
// not convert or the index lies outside the list.
template <typename T, size_t N>
bool StoreAt(std::array<T, N>& list, int index, const std::optional<T>& value)
{
    if (!value || index < 0 || index >= int(N)) {
        return false;
    }
    list[size_t(index)] = *value;
    return true;
}

class SetupFileReader {
public:
    explicit SetupFileReader(LoggerSettings& settings) : s_(settings) {}

    // False when the line's value cannot be taken.
    bool Apply(const QString& line)
    {
        if (line.startsWith(u'[')) {
            section_ = SectionOf(line);
            return true;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 2) {
            return true;
        }
        return ApplyKey(line.left(equals), TrimBlanks(line.mid(equals + 1)));
    }

private:
    bool ApplyKey(const QString& key, const QString& value)
    {
        static const QHash<QString, QString LoggerSettings::*> texts{
            {"LoggerName", &LoggerSettings::LoggerName}, {"SampleInterval", &LoggerSettings::SampleInterval},
            {"FlumeTag", &LoggerSettings::FlumeTag},     {"WeirTag", &LoggerSettings::WeirTag},
            {"TablePath", &LoggerSettings::TablePath}};
        static const QHash<QString, uint8_t LoggerSettings::*> bytes{
            {"DataWrapAroundFlag", &LoggerSettings::DataWrapAroundFlag},
            {"SensorWarmupTime", &LoggerSettings::SensorWarmupTime},
            {"LoggingStyle", &LoggerSettings::LoggingStyle},
            {"EnableSOD", &LoggerSettings::EnableSOD},
            {"FixedBaudRate", &LoggerSettings::FixedBaudRate},
            {"FlowMode", &LoggerSettings::FlowMode},
            {"FlowUnits", &LoggerSettings::FlowUnits},
            {"VelUnits", &LoggerSettings::VelUnits},
            {"ManningsSType", &LoggerSettings::ManningsSType},
            {"ManningsDType", &LoggerSettings::ManningsDType},
            {"LevelOffsetType", &LoggerSettings::LevelOffsetType}};
        static const QHash<QString, double LoggerSettings::*> numbers{
            {"FlowTop", &LoggerSettings::FlowTop},     {"VelTop", &LoggerSettings::VelTop},
            {"ManningsN", &LoggerSettings::ManningsN}, {"ManningsS", &LoggerSettings::ManningsS},
            {"ManningsD", &LoggerSettings::ManningsD}, {"LevelOffset", &LoggerSettings::LevelOffset}};
        static const QHash<QString, std::array<int32_t, 8> LoggerSettings::*> rawScales{
            {"RawScaleUpper", &LoggerSettings::RawScaleUpper}, {"RawScaleLower", &LoggerSettings::RawScaleLower}};
        static const QHash<QString, std::array<double, 8> LoggerSettings::*> channelNumbers{
            {"LowerLimit", &LoggerSettings::LowerLimit},
            {"UpperLimit", &LoggerSettings::UpperLimit},
            {"DisplayTop", &LoggerSettings::DisplayTop},
            {"DisplayBottom", &LoggerSettings::DisplayBottom}};
        static const QHash<QString, std::array<int16_t, 2> LoggerSettings::*> alarmTimes{
            {"AlarmSec", &LoggerSettings::AlarmSec},
            {"AlarmMin", &LoggerSettings::AlarmMin},
            {"AlarmHour", &LoggerSettings::AlarmHour}};

        if (const auto text = texts.find(key); text != texts.end()) {
            s_.*text.value() = value;
            return true;
        }
        if (const auto byte = bytes.find(key); byte != bytes.end()) {
            const std::optional<uint8_t> number = WholeValue<uint8_t>(value);
            if (number) {
                s_.*byte.value() = *number;
            }
            return number.has_value();
        }
        if (key == u"Deadband") {
            const std::optional<int32_t> number = WholeValue<int32_t>(value);
            if (number) {
                s_.Deadband = *number;
            }
            return number.has_value();
        }
        if (const auto number = numbers.find(key); number != numbers.end()) {
            const std::optional<double> finite = FiniteValue(value);
            if (finite) {
                s_.*number.value() = *finite;
            }
            return finite.has_value();
        }
        if (key == u"Channel") {
            const std::optional<int16_t> channel = WholeValue<int16_t>(value);
            if (channel) {
                channel_ = *channel;
            }
            return channel.has_value();
        }
        if (key == u"Enable" || key == u"EngUnits" || key == u"DecPlaces") {
            return ApplySectionKey(key, value);
        }
        if (const auto raw = rawScales.find(key); raw != rawScales.end()) {
            return StoreAt(s_.*raw.value(), channel_, WholeValue<int32_t>(value));
        }
        if (const auto list = channelNumbers.find(key); list != channelNumbers.end()) {
            return StoreAt(s_.*list.value(), channel_, FiniteValue(value));
        }
        if (key == u"PulseUnit") {
            return StoreAt(s_.PulseUnit, channel_, FiniteValue(value));
        }
        if (const auto time = alarmTimes.find(key); time != alarmTimes.end()) {
            return StoreAt(s_.*time.value(), channel_, WholeValue<int16_t>(value));
        }
        return true; // "Program", "Version", "Date", "Time", the channel counts and unknown keys
    }

    // "Enable", "EngUnits" and "DecPlaces" mean what the section says; the
    // pulse channels' units and decimals follow the analog ones in their lists.
    bool ApplySectionKey(const QString& key, const QString& value)
    {
        if (section_ == Section::None || (section_ == Section::Alarm && key != u"Enable")) {
            return true;
        }
        if (key == u"Enable") {
            const std::optional<uint8_t> enable = WholeValue<uint8_t>(value);
            switch (section_) {
            case Section::Analog:
                return StoreAt(s_.AnalogEnable, channel_, enable);
            case Section::Digital:
                return StoreAt(s_.DigitalEnable, channel_, enable);
            default:
                return StoreAt(s_.AlarmEnable, channel_, enable);
            }
        }
        const int index = section_ == Section::Digital ? channel_ + 8 : channel_;
        if (key == u"EngUnits") {
            return StoreAt(s_.EngUnits, index, std::optional<QString>(value));
        }
        return StoreAt(s_.DecPlaces, index, WholeValue<uint8_t>(value));
    }

    LoggerSettings& s_;
    Section section_ = Section::None;
    int channel_ = 0;
};

QStringList SplitLines(const QByteArray& bytes)
{
    QString text = QString::fromLatin1(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.constLast().isEmpty()) {
        lines.removeLast(); // the end of the last line
    }
    return lines;
}

bool ReadFile(const QString& path, LoggerSettings& settings, RatingState& rating)
{
    // Opening a pipe or a device would wait for a writer, with the window frozen.
    if (!QFileInfo(path).isFile()) {
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return false;
    }
    // Loaded into a copy: a file that fails halfway changes nothing.
    LoggerSettings loaded = settings;
    RatingState loadedRating = rating;
    ApplyDefaultSettings(loaded, loadedRating);
    SetupFileReader reader(loaded);
    for (const QString& line : SplitLines(bytes)) {
        if (!reader.Apply(line)) {
            return false;
        }
    }
    settings = std::move(loaded);
    rating = std::move(loadedRating);
    return true;
}

} // namespace

QString SetupFileTimeText(QTime time, const QLocale& locale)
{
    // The file holds single-byte characters only: the system's digits and
    // letters where it can, else the system's pattern with plain digits,
    // else hours, minutes and seconds.
    for (const QString& text : {LongTimeText(time, locale), LongTimeText(time, locale, QLocale::c())}) {
        if (Latin1({text})) {
            return text;
        }
    }
    return QLocale::c().toString(time, QStringLiteral("HH:mm:ss"));
}

SetupFileStamp CurrentSetupFileStamp()
{
    const QDateTime now = QDateTime::currentDateTime();
    return {QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(),
            QStringLiteral("%1.%2.%3").arg(BREVEL_VERSION_MAJOR).arg(BREVEL_VERSION_MINOR).arg(BREVEL_VERSION_REVISION),
            ShortDateText(now.date()), SetupFileTimeText(now.time(), QLocale::system())};
}

QStringList SetupFileLines(const LoggerSettings& s, const SetupFileStamp& stamp)
{
    QStringList lines{
        Line("Program", stamp.Program),
        Line("Version", stamp.Version),
        Line("Date", stamp.Date),
        Line("Time", stamp.Time),
        Line("LoggerName", s.LoggerName),
        Line("SampleInterval", s.SampleInterval),
        Line("NumAnalogChannels", s.NumAnalogChannels),
        Line("NumDigitalChannels", s.NumDigitalChannels),
        Line("DataWrapAroundFlag", s.DataWrapAroundFlag),
        Line("SensorWarmupTime", s.SensorWarmupTime),
        Line("LoggingStyle", s.LoggingStyle),
        Line("Deadband", s.Deadband),
        Line("EnableSOD", s.EnableSOD),
        Line("FixedBaudRate", s.FixedBaudRate),
    };
    for (int c = 0; c < 8; ++c) {
        lines << QStringLiteral("[Analog Channel]") << Line("Channel", c) << Line("Enable", s.AnalogEnable[c])
              << Line("EngUnits", s.EngUnits[c]) << Line("DecPlaces", s.DecPlaces[c])
              << Line("RawScaleLower", s.RawScaleLower[c]) << Line("RawScaleUpper", s.RawScaleUpper[c])
              << Line("LowerLimit", s.LowerLimit[c]) << Line("UpperLimit", s.UpperLimit[c])
              << Line("DisplayTop", s.DisplayTop[c]) << Line("DisplayBottom", s.DisplayBottom[c]);
    }
    for (int k = 0; k < 2; ++k) {
        lines << QStringLiteral("[Digital Channel]") << Line("Channel", k) << Line("Enable", s.DigitalEnable[k])
              << Line("EngUnits", s.EngUnits[8 + k]) << Line("DecPlaces", s.DecPlaces[8 + k])
              << Line("PulseUnit", s.PulseUnit[k]);
    }
    for (int a = 0; a < 2; ++a) {
        lines << QStringLiteral("[Alarm]") << Line("Channel", a) << Line("Enable", s.AlarmEnable[a])
              << Line("AlarmSec", s.AlarmSec[a]) << Line("AlarmMin", s.AlarmMin[a]) << Line("AlarmHour", s.AlarmHour[a]);
    }
    lines << Line("FlowMode", s.FlowMode) << Line("FlowUnits", s.FlowUnits) << Line("FlowTop", s.FlowTop)
          << Line("VelUnits", s.VelUnits) << Line("VelTop", s.VelTop) << Line("ManningsN", s.ManningsN)
          << Line("ManningsS", s.ManningsS) << Line("ManningsSType", s.ManningsSType)
          << Line("ManningsD", s.ManningsD) << Line("ManningsDType", s.ManningsDType)
          << Line("FlumeTag", s.FlumeTag) << Line("WeirTag", s.WeirTag) << Line("LevelOffset", s.LevelOffset)
          << Line("LevelOffsetType", s.LevelOffsetType) << Line("TablePath", s.TablePath);
    return lines;
}

bool WriteSetupFile(const QString& path, const LoggerSettings& settings, const SetupFileStamp& stamp,
                    bool errorTrapping)
{
    return RunTrapped(
        errorTrapping, [&] { return WriteFile(path, SetupFileLines(settings, stamp)); }, [] { return false; });
}

bool ReadSetupFile(const QString& path, LoggerSettings& settings, RatingState& rating, bool errorTrapping)
{
    return RunTrapped(
        errorTrapping, [&] { return ReadFile(path, settings, rating); }, [] { return false; });
}
