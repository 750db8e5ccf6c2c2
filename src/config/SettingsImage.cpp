#include "config/SettingsImage.h"

#include "config/DefaultSettings.h"
#include "config/Number24.h"
#include "core/ErrorTrap.h"
#include "core/NumberText.h"
#include "config/Rating.h"

#include <cmath>

namespace {

// Where each field lies in the image.
constexpr int LoggerNameAt = 0, LoggerNameWidth = 32;
constexpr int IntervalCountAt = 32;
constexpr int IntervalUnitAt = 34;
constexpr int NumAnalogAt = 35;
constexpr int NumDigitalAt = 36;
constexpr int AnalogEnableAt = 37;
constexpr int DigitalEnableAt = 38;
constexpr int BaudAndWrapAt = 39;
constexpr int WarmupAt = 40;
constexpr int AlarmEnableAt = 42;
constexpr int EnableSodAt = 44;
constexpr int LoggingStyleAt = 45;
constexpr int DeadbandAt = 46;
constexpr int EngUnitsAt = 48, EngUnitsWidth = 9;
constexpr std::array<int, 2> AlarmAt{138, 142}; // second, minute, hour, then 0x80
constexpr int DecPlacesAt = 146;
constexpr int RawScaleLowerAt = 156;
constexpr int RawScaleUpperAt = 172;
constexpr int PulseUnitAt = 188;
constexpr int LowerLimitAt = 194;
constexpr int UpperLimitAt = 218;
constexpr int DisplayBottomAt = 242;
constexpr int DisplayTopAt = 266;
constexpr int FlowModeAt = 290;
constexpr int ManningsNAt = 291;
constexpr int ManningsSAt = 294;
constexpr int ManningsSTypeAt = 297;
constexpr int ManningsDAt = 298;
constexpr int ManningsDTypeAt = 301;
constexpr int FlumeTagAt = 302, TagWidth = 8;
constexpr int WeirTagAt = 310;
constexpr int LevelOffsetAt = 318;
constexpr int LevelOffsetTypeAt = 321;
constexpr int FlowUnitsAt = 322;
constexpr int FlowTopAt = 323;
constexpr int VelUnitsAt = 326;
constexpr int VelTopAt = 327;
constexpr int TablePathAt = 330, TablePathWidth = 128;

constexpr uint8_t FlowBlockNeverWritten = 0xFF;
constexpr int LargestCode = 4; // FlowMode, FlowUnits, VelUnits
constexpr int LongestWarmupMs = 60000;

// Fills a zeroed image; remembers when a value did not fit its field.
class ImageWriter {
public:
    void Byte(int offset, double value)
    {
        if (Fits(value, 0xFF)) {
            image_[offset] = char(uint8_t(value));
        }
    }
    void Word(int offset, double value)
    {
        if (Fits(value, 0xFFFF)) {
            const auto word = uint16_t(value);
            image_[offset] = char(word & 0xFF);
            image_[offset + 1] = char(word >> 8);
        }
    }
    void Number(int offset, double value)
    {
        const uint32_t code = EncodeNumber24(value);
        for (int i = 0; i < 3; ++i) {
            image_[offset + i] = char((code >> (8 * i)) & 0xFF);
        }
    }
    void Text(int offset, const QString& text, int width)
    {
        allFit_ = EncodeFixedText(text, image_, offset, width) && allFit_;
    }
    std::optional<QByteArray> Result() const
    {
        return allFit_ ? std::optional<QByteArray>(image_) : std::nullopt;
    }

private:
    bool Fits(double value, double largest)
    {
        const bool fits = value >= 0 && value <= largest; // false for NaN too
        allFit_ = allFit_ && fits;
        return fits;
    }

    QByteArray image_ = QByteArray(SettingsImageSize, '\0');
    bool allFit_ = true;
};

// Reads the fields of an image known to be complete.
class ImageReader {
public:
    explicit ImageReader(const QByteArray& image) : image_(image) {}
    uint8_t Byte(int offset) const { return uint8_t(image_[offset]); }
    uint16_t Word(int offset) const { return uint16_t(Byte(offset) | (Byte(offset + 1) << 8)); }
    double Number(int offset) const
    {
        return DecodeNumber24(uint32_t(Byte(offset)) | uint32_t(Byte(offset + 1)) << 8 |
                              uint32_t(Byte(offset + 2)) << 16);
    }
    QString Text(int offset, int width) const { return DecodeFixedText(image_, offset, width); }

private:
    const QByteArray& image_;
};

int IntervalUnitCode(const QString& interval)
{
    if (interval.contains(u"min")) {
        return 1;
    }
    if (interval.contains(u"hour")) {
        return 2;
    }
    if (interval.contains(u"day")) {
        return 3;
    }
    return 0;
}

QString IntervalText(uint16_t count, uint8_t unit)
{
    const char* word = unit == 0 ? "second" : unit == 1 ? "minute" : unit == 2 ? "hour" : "day";
    return QString::number(count) + u' ' + QLatin1String(word) + (count > 1 ? QStringLiteral("s") : QString());
}

template <size_t N>
int EnableBits(const std::array<uint8_t, N>& enables)
{
    int bits = 0;
    for (size_t i = 0; i < N; ++i) {
        if (enables[i] != 0) {
            bits |= 1 << i;
        }
    }
    return bits;
}

uint8_t LimitCode(uint8_t code)
{
    return code > LargestCode ? 0 : code;
}

std::optional<QByteArray> EncodeImage(const LoggerSettings& s)
{
    ImageWriter w;
    w.Text(LoggerNameAt, s.LoggerName, LoggerNameWidth);
    w.Word(IntervalCountAt, std::nearbyint(LeadingNumber(s.SampleInterval)));
    w.Byte(IntervalUnitAt, IntervalUnitCode(s.SampleInterval));
    w.Byte(NumAnalogAt, s.NumAnalogChannels);
    w.Byte(NumDigitalAt, s.NumDigitalChannels);
    w.Byte(AnalogEnableAt, EnableBits(s.AnalogEnable));
    w.Byte(DigitalEnableAt, EnableBits(s.DigitalEnable));
    w.Byte(BaudAndWrapAt, 2.0 * s.FixedBaudRate + s.DataWrapAroundFlag);
    w.Word(WarmupAt, s.SensorWarmupTime * 1000.0);
    for (int k = 0; k < 10; ++k) {
        w.Text(EngUnitsAt + EngUnitsWidth * k, s.EngUnits[k], EngUnitsWidth);
    }
    for (int a = 0; a < 2; ++a) {
        w.Byte(AlarmEnableAt + a, s.AlarmEnable[a]);
        w.Byte(AlarmAt[a], ToBcd(s.AlarmSec[a]));
        w.Byte(AlarmAt[a] + 1, ToBcd(s.AlarmMin[a]));
        w.Byte(AlarmAt[a] + 2, ToBcd(s.AlarmHour[a]));
        w.Byte(AlarmAt[a] + 3, 0x80);
    }
    w.Byte(EnableSodAt, s.EnableSOD);
    w.Byte(LoggingStyleAt, s.LoggingStyle);
    w.Word(DeadbandAt, s.Deadband);
    for (int k = 0; k < 10; ++k) {
        w.Byte(DecPlacesAt + k, s.DecPlaces[k]);
    }
    for (int j = 0; j < 2; ++j) {
        w.Number(PulseUnitAt + 3 * j, s.PulseUnit[j]);
    }
    for (int i = 0; i < 8; ++i) {
        w.Number(LowerLimitAt + 3 * i, s.LowerLimit[i]);
        w.Number(UpperLimitAt + 3 * i, s.UpperLimit[i]);
        w.Word(RawScaleLowerAt + 2 * i, s.RawScaleLower[i]);
        w.Word(RawScaleUpperAt + 2 * i, s.RawScaleUpper[i]);
        w.Number(DisplayBottomAt + 3 * i, s.DisplayBottom[i]);
        w.Number(DisplayTopAt + 3 * i, s.DisplayTop[i]);
    }
    w.Byte(FlowModeAt, s.FlowMode);
    w.Number(ManningsNAt, s.ManningsN);
    w.Number(ManningsSAt, s.ManningsS);
    w.Byte(ManningsSTypeAt, s.ManningsSType);
    w.Number(ManningsDAt, s.ManningsD);
    w.Byte(ManningsDTypeAt, s.ManningsDType);
    w.Text(FlumeTagAt, s.FlumeTag, TagWidth);
    w.Text(WeirTagAt, s.WeirTag, TagWidth);
    w.Number(LevelOffsetAt, s.LevelOffset);
    w.Byte(LevelOffsetTypeAt, s.LevelOffsetType);
    w.Byte(FlowUnitsAt, s.FlowUnits);
    w.Number(FlowTopAt, s.FlowTop);
    w.Byte(VelUnitsAt, s.VelUnits);
    w.Number(VelTopAt, s.VelTop);
    w.Text(TablePathAt, s.TablePath, TablePathWidth);
    return w.Result();
}

// Fills the flow fields from the flow block; false when it was never written.
bool DecodeFlowBlock(const ImageReader& r, LoggerSettings& s)
{
    const uint8_t flowMode = r.Byte(FlowModeAt);
    if (flowMode == FlowBlockNeverWritten) {
        ApplyDefaultFlowSettings(s);
        return false;
    }
    s.FlowMode = LimitCode(flowMode);
    s.ManningsN = r.Number(ManningsNAt);
    s.ManningsS = r.Number(ManningsSAt);
    s.ManningsSType = r.Byte(ManningsSTypeAt) & 1;
    s.ManningsD = r.Number(ManningsDAt);
    s.ManningsDType = r.Byte(ManningsDTypeAt) & 3;
    s.LevelOffset = r.Number(LevelOffsetAt);
    s.LevelOffsetType = r.Byte(LevelOffsetTypeAt) & 3;
    s.FlumeTag = r.Text(FlumeTagAt, TagWidth).trimmed();
    s.WeirTag = r.Text(WeirTagAt, TagWidth).trimmed();
    s.TablePath = r.Text(TablePathAt, TablePathWidth);
    s.FlowUnits = LimitCode(r.Byte(FlowUnitsAt));
    s.FlowTop = r.Number(FlowTopAt);
    s.VelUnits = LimitCode(r.Byte(VelUnitsAt));
    s.VelTop = r.Number(VelTopAt);
    return true;
}

bool DecodeImage(const QByteArray& image, LoggerSettings& settings, RatingState& rating)
{
    if (image.size() < SettingsImageSize) {
        return false;
    }
    const ImageReader r(image);
    // Decoded into a copy: the record changes only once the whole image has been taken.
    LoggerSettings s = settings;
    s.LoggerName = r.Text(LoggerNameAt, LoggerNameWidth);
    s.SampleInterval = IntervalText(r.Word(IntervalCountAt), r.Byte(IntervalUnitAt));
    for (int i = 0; i < 8; ++i) {
        s.AnalogEnable[i] = (r.Byte(AnalogEnableAt) >> i & 1) && i < s.NumAnalogChannels;
    }
    for (int i = 0; i < 2; ++i) {
        s.DigitalEnable[i] = (r.Byte(DigitalEnableAt) >> i & 1) && i < s.NumDigitalChannels;
    }
    s.DataWrapAroundFlag = r.Byte(BaudAndWrapAt) & 1;
    s.FixedBaudRate = r.Byte(BaudAndWrapAt) >> 1;
    s.SensorWarmupTime = uint8_t(std::min<int>(r.Word(WarmupAt), LongestWarmupMs) / 1000);
    for (int k = 0; k < 10; ++k) {
        s.EngUnits[k] = r.Text(EngUnitsAt + EngUnitsWidth * k, EngUnitsWidth);
    }
    for (int a = 0; a < 2; ++a) {
        s.AlarmEnable[a] = r.Byte(AlarmEnableAt + a) != 0;
        s.AlarmSec[a] = int16_t(FromBcd(r.Byte(AlarmAt[a])));
        s.AlarmMin[a] = int16_t(FromBcd(r.Byte(AlarmAt[a] + 1)));
        s.AlarmHour[a] = int16_t(FromBcd(r.Byte(AlarmAt[a] + 2)));
    }
    s.EnableSOD = s.SodSupported ? r.Byte(EnableSodAt) : 0;
    s.LoggingStyle = r.Byte(LoggingStyleAt);
    s.Deadband = r.Word(DeadbandAt);
    for (int k = 0; k < 10; ++k) {
        s.DecPlaces[k] = r.Byte(DecPlacesAt + k);
    }
    for (int j = 0; j < 2; ++j) {
        s.PulseUnit[j] = r.Number(PulseUnitAt + 3 * j);
    }
    for (int i = 0; i < 8; ++i) {
        s.LowerLimit[i] = r.Number(LowerLimitAt + 3 * i);
        s.UpperLimit[i] = r.Number(UpperLimitAt + 3 * i);
        s.RawScaleLower[i] = r.Word(RawScaleLowerAt + 2 * i);
        s.RawScaleUpper[i] = r.Word(RawScaleUpperAt + 2 * i);
        s.DisplayBottom[i] = r.Number(DisplayBottomAt + 3 * i);
        s.DisplayTop[i] = r.Number(DisplayTopAt + 3 * i);
    }
    const bool flowBlockWritten = DecodeFlowBlock(r, s);
    settings = std::move(s);
    if (!flowBlockWritten) {
        ResetFlowTable(rating);
    }
    return true;
}

} // namespace

std::optional<QByteArray> EncodeSettings(const LoggerSettings& settings, bool errorTrapping)
{
    return RunTrapped(
        errorTrapping, [&] { return EncodeImage(settings); }, [] { return std::optional<QByteArray>(); });
}

bool DecodeSettings(const QByteArray& image, LoggerSettings& settings, RatingState& rating, bool errorTrapping)
{
    return RunTrapped(
        errorTrapping, [&] { return DecodeImage(image, settings, rating); }, [] { return false; });
}

bool EncodeFixedText(const QString& text, QByteArray& image, int offset, int width)
{
    if (offset < 0 || width < 0 || offset + width > image.size()) {
        return false;
    }
    for (int i = 0; i < width; ++i) {
        const char16_t code = i < text.size() ? text[i].unicode() : u' ';
        if (code > 0xFF) {
            return false;
        }
        image[offset + i] = char(code);
    }
    return true;
}

QString DecodeFixedText(const QByteArray& image, int offset, int width)
{
    QString text(width, u' ');
    for (int i = 0; i < width; ++i) {
        const auto byte = uint8_t(offset + i < image.size() ? image[offset + i] : 0);
        // Control bytes read as blanks; printable Latin-1 ("°C") reads back
        // as it was written.
        if ((byte >= 32 && byte <= 127) || byte >= 0xA0) {
            text[i] = QChar(byte);
        }
    }
    while (!text.isEmpty() && text.back() == u' ') {
        text.chop(1);
    }
    return text;
}

bool ImagesEqual(const std::optional<QByteArray>& a, const std::optional<QByteArray>& b)
{
    return a.has_value() && b.has_value() && *a == *b;
}
