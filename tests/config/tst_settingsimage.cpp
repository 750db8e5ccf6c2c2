#include "SettingsDescription.h"
#include "TestRegistry.h"
#include "config/DefaultSettings.h"
#include "config/Number24.h"
#include "config/SettingsImage.h"
#include "flow/Rating.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

QByteArray Encoded(const LoggerSettings& settings)
{
    const std::optional<QByteArray> image = EncodeSettings(settings, true);
    return image.value_or(QByteArray());
}

QByteArray Bytes(const QByteArray& image, int offset, int length)
{
    return image.mid(offset, length);
}

QByteArray Hex(const char* hex)
{
    return QByteArray::fromHex(hex);
}

QByteArray Number24Bytes(double value)
{
    const uint32_t code = EncodeNumber24(value);
    const char bytes[] = {char(code & 0xFF), char((code >> 8) & 0xFF), char(code >> 16)};
    return QByteArray(bytes, 3);
}

// A record with every field drawn at random within what its image field
// holds; texts may run past their width and hold unprintable characters.
class RecordGenerator {
public:
    explicit RecordGenerator(quint32 seed) : random_(seed) {}

    LoggerSettings Next()
    {
        LoggerSettings s;
        s.NumAnalogChannels = uint8_t(Between(1, 8));
        s.NumDigitalChannels = uint8_t(Between(0, 2));
        s.SodSupported = Between(0, 1) == 1;
        s.LoggerName = Text(40);
        static const char* const units[] = {" second", " seconds", " min", " minutes", " hours", " day", " Days", ""};
        s.SampleInterval = QString::number(Between(0, 65535)) + QLatin1String(units[Between(0, 7)]);
        for (auto& e : s.AnalogEnable) e = uint8_t(Between(0, 1));
        for (auto& e : s.DigitalEnable) e = uint8_t(Between(0, 1));
        s.DataWrapAroundFlag = uint8_t(Between(0, 1));
        s.FixedBaudRate = uint8_t(Between(0, 127));
        s.SensorWarmupTime = uint8_t(Between(0, 65));
        for (auto& u : s.EngUnits) u = Text(12);
        for (int a = 0; a < 2; ++a) {
            s.AlarmEnable[a] = uint8_t(Between(0, 255));
            s.AlarmHour[a] = int16_t(Between(0, 99));
            s.AlarmMin[a] = int16_t(Between(0, 99));
            s.AlarmSec[a] = int16_t(Between(0, 99));
        }
        s.EnableSOD = uint8_t(Between(0, 255));
        s.LoggingStyle = uint8_t(Between(0, 255));
        s.Deadband = Between(0, 65535);
        for (auto& d : s.DecPlaces) d = uint8_t(Between(0, 255));
        for (auto& r : s.RawScaleLower) r = Between(0, 65535);
        for (auto& r : s.RawScaleUpper) r = Between(0, 65535);
        for (auto* list : {&s.LowerLimit, &s.UpperLimit, &s.DisplayBottom, &s.DisplayTop}) {
            for (double& v : *list) v = Number();
        }
        for (double& v : s.PulseUnit) v = Number();
        s.FlowMode = uint8_t(Between(0, 255));
        s.FlowUnits = uint8_t(Between(0, 255));
        s.VelUnits = uint8_t(Between(0, 255));
        s.ManningsSType = uint8_t(Between(0, 255));
        s.ManningsDType = uint8_t(Between(0, 255));
        s.LevelOffsetType = uint8_t(Between(0, 255));
        for (double* v : {&s.FlowTop, &s.VelTop, &s.ManningsN, &s.ManningsS, &s.ManningsD, &s.LevelOffset}) {
            *v = Number();
        }
        s.FlumeTag = Text(10);
        s.WeirTag = Text(10);
        s.TablePath = Text(140);
        return s;
    }

private:
    int Between(int lowest, int highest) { return int(random_.bounded(lowest, highest + 1)); }

    // Latin-1 text: mostly printable ASCII, with blanks at either end, control
    // characters and accented letters mixed in.
    QString Text(int longest)
    {
        QString text;
        const int length = Between(0, longest);
        for (int i = 0; i < length; ++i) {
            const int kind = Between(0, 9);
            text += QChar(kind == 0 ? Between(0, 31) : kind == 1 ? Between(160, 255) : kind == 2 ? 32 : Between(32, 127));
        }
        return text;
    }

    // Any magnitude from 1e-9 to 1e8, either sign, or 0.
    double Number()
    {
        if (Between(0, 20) == 0) {
            return 0.0;
        }
        const double magnitude = std::pow(10.0, random_.bounded(17.0) - 9.0);
        return Between(0, 1) ? magnitude : -magnitude;
    }

    QRandomGenerator random_;
};

// The record as it reads back from its own image: the normalisations that
// encoding and decoding are documented to make.
LoggerSettings ReadBack(LoggerSettings s)
{
    const auto shown = [](const QString& text, int width) {
        QString cut = text.left(width);
        for (QChar& c : cut) {
            if (c.unicode() < 32 || c.unicode() > 127) c = u' ';
        }
        while (cut.endsWith(u' ')) cut.chop(1);
        return cut;
    };
    const auto number = [](double v) { return DecodeNumber24(EncodeNumber24(v)); };
    const auto code = [](uint8_t c) { return uint8_t(c > 4 ? 0 : c); };

    s.LoggerName = shown(s.LoggerName, 32);
    const int count = s.SampleInterval.section(u' ', 0, 0).toInt();
    const QString word = s.SampleInterval.contains("min") ? "minute" : s.SampleInterval.contains("hour") ? "hour"
        : s.SampleInterval.contains("day") ? "day" : "second";
    s.SampleInterval = QString::number(count) + u' ' + word + (count > 1 ? "s" : "");
    for (int i = 0; i < 8; ++i) s.AnalogEnable[i] = s.AnalogEnable[i] && i < s.NumAnalogChannels;
    for (int i = 0; i < 2; ++i) s.DigitalEnable[i] = s.DigitalEnable[i] && i < s.NumDigitalChannels;
    s.SensorWarmupTime = std::min<uint8_t>(s.SensorWarmupTime, 60);
    for (auto& u : s.EngUnits) u = shown(u, 9);
    for (auto& a : s.AlarmEnable) a = a != 0;
    if (!s.SodSupported) s.EnableSOD = 0;
    for (auto* list : {&s.LowerLimit, &s.UpperLimit, &s.DisplayBottom, &s.DisplayTop}) {
        for (double& v : *list) v = number(v);
    }
    for (double& v : s.PulseUnit) v = number(v);
    if (s.FlowMode == 0xFF) {
        ApplyDefaultFlowSettings(s);
        return s;
    }
    s.FlowMode = code(s.FlowMode);
    s.FlowUnits = code(s.FlowUnits);
    s.VelUnits = code(s.VelUnits);
    s.ManningsSType &= 1;
    s.ManningsDType &= 3;
    s.LevelOffsetType &= 3;
    for (double* v : {&s.FlowTop, &s.VelTop, &s.ManningsN, &s.ManningsS, &s.ManningsD, &s.LevelOffset}) {
        *v = number(*v);
    }
    s.FlumeTag = shown(s.FlumeTag, 8).trimmed();
    s.WeirTag = shown(s.WeirTag, 8).trimmed();
    s.TablePath = shown(s.TablePath, 128);
    return s;
}

} // namespace

class SettingsImageTest : public QObject {
    Q_OBJECT
private slots:
    // The defaults of a three-channel logger, field by field against the layout.
    void encodesTheDefaultsByteForByte()
    {
        const QByteArray image = Encoded(DefaultRecord());
        QCOMPARE(image.size(), SettingsImageSize);
        QCOMPARE(Bytes(image, 0, 32), QByteArray("Brevel Logger").leftJustified(32, ' '));
        QCOMPARE(Bytes(image, 32, 16).toHex(' '), Hex("0100 03 03 02 ff 03 01 b80b 00 00 00 00 0000").toHex(' '));
        QCOMPARE(Bytes(image, 48, 90), QByteArray("Feet     Temp C   Volts    %        %        %        "
                                                  "%        %        Pulses   Pulses   "));
        QCOMPARE(Bytes(image, 138, 8).toHex(' '), Hex("00000080 00000080").toHex(' '));
        QCOMPARE(Bytes(image, 146, 10).toHex(' '), Hex("02020202020202020000").toHex(' '));
        QCOMPARE(Bytes(image, 156, 16), QByteArray(16, '\0'));
        QCOMPARE(Bytes(image, 172, 16).toHex(' '), Hex("ffff ffff b0f3 ffff ffff ffff ffff ffff").toHex(' '));
        // 1.0 is 5 decimals, mantissa 100000 (0x5186A0); 100.0 is 0x3186A0; 24.0 is 0x43A980.
        QCOMPARE(Bytes(image, 188, 6).toHex(' '), Hex("a08651 a08651").toHex(' '));
        QCOMPARE(Bytes(image, 194, 24), QByteArray(24, '\0'));
        QCOMPARE(Bytes(image, 218, 9).toHex(' '), Hex("a08631 a08631 80a943").toHex(' '));
        QCOMPARE(Bytes(image, 266, 9).toHex(' '), Hex("a08631 a08631 80a943").toHex(' '));
        // Flow block: Manning's, n 0.014 (0x7222E0), slope 1 percent, 1 foot, offset 0 inches.
        QCOMPARE(Bytes(image, 290, 12).toHex(' '), Hex("01 e02272 a08651 01 a08651 00").toHex(' '));
        QCOMPARE(Bytes(image, 302, 16), QByteArray(16, ' '));
        QCOMPARE(Bytes(image, 318, 12).toHex(' '), Hex("000000 01 00 a08631 00 a08631").toHex(' '));
        QCOMPARE(Bytes(image, 330, 128), QByteArray(128, ' '));
    }

    void encodesTheInterval_data()
    {
        QTest::addColumn<QString>("interval");
        QTest::addColumn<QByteArray>("countAndUnit");
        QTest::newRow("1 day") << "1 day" << Hex("010003");
        QTest::newRow("30 seconds") << "30 seconds" << Hex("1e0000");
        QTest::newRow("unit search is case-sensitive") << "2 Minutes" << Hex("020000");
        QTest::newRow("min before hour") << "3 hours 5 min" << Hex("030001");
        QTest::newRow("hour before day") << "4 hours a day" << Hex("040002");
        QTest::newRow("leading blanks") << "  15 minutes" << Hex("0f0001");
        QTest::newRow("rounded") << "2.6 hours" << Hex("030002");
        QTest::newRow("tie to even down") << "2.5 hours" << Hex("020002");
        QTest::newRow("tie to even up") << "3.5 hours" << Hex("040002");
        QTest::newRow("no number") << "day" << Hex("000003");
        QTest::newRow("largest") << "65535 seconds" << Hex("ffff00");
        QTest::newRow("rounds to the largest") << "65535.4 seconds" << Hex("ffff00");
    }
    void encodesTheInterval()
    {
        QFETCH(QString, interval);
        QFETCH(QByteArray, countAndUnit);
        LoggerSettings settings = DefaultRecord();
        settings.SampleInterval = interval;
        QCOMPARE(Bytes(Encoded(settings), 32, 3).toHex(' '), countAndUnit.toHex(' '));
    }

    void encodesStoredValuesAsTheyStand()
    {
        LoggerSettings settings = DefaultRecord();
        settings.AnalogEnable = {1, 0, 1, 0, 0, 0, 0, 1};
        settings.DigitalEnable = {0, 1};
        settings.FixedBaudRate = 6;
        settings.AlarmEnable = {7, 0};
        settings.AlarmHour = {23, 12};
        settings.AlarmMin = {5, 30};
        settings.AlarmSec = {59, 0};
        settings.FlowMode = 9;
        settings.ManningsDType = 0xEE;
        settings.LoggerName = QString(40, u'x');
        settings.EngUnits[1] = QString::fromLatin1("\xB0" "C");
        const QByteArray image = Encoded(settings);
        QCOMPARE(Bytes(image, 37, 3).toHex(' '), Hex("85 02 0d").toHex(' '));
        QCOMPARE(Bytes(image, 42, 2).toHex(' '), Hex("07 00").toHex(' '));
        QCOMPARE(Bytes(image, 138, 8).toHex(' '), Hex("590523 80 003012 80").toHex(' '));
        QCOMPARE(uint8_t(image[290]), uint8_t(9));
        QCOMPARE(uint8_t(image[301]), uint8_t(0xEE));
        QCOMPARE(Bytes(image, 0, 32), QByteArray(32, 'x'));
        QCOMPARE(Bytes(image, 57, 9), QByteArray("\xB0" "C       "));
    }

    // A value that does not fit its field gives no image at all.
    void encodingFails_data()
    {
        QTest::addColumn<std::function<void(LoggerSettings&)>>("change");
        using Change = std::function<void(LoggerSettings&)>;
        QTest::newRow("interval count") << Change([](LoggerSettings& s) { s.SampleInterval = "65536 seconds"; });
        QTest::newRow("interval rounds past") << Change([](LoggerSettings& s) { s.SampleInterval = "65535.5 seconds"; });
        QTest::newRow("negative interval") << Change([](LoggerSettings& s) { s.SampleInterval = "-1 day"; });
        QTest::newRow("warm-up 66 s") << Change([](LoggerSettings& s) { s.SensorWarmupTime = 66; });
        QTest::newRow("deadband") << Change([](LoggerSettings& s) { s.Deadband = 65536; });
        QTest::newRow("negative deadband") << Change([](LoggerSettings& s) { s.Deadband = -1; });
        QTest::newRow("raw scale lower") << Change([](LoggerSettings& s) { s.RawScaleLower[7] = -5; });
        QTest::newRow("raw scale upper") << Change([](LoggerSettings& s) { s.RawScaleUpper[0] = 70000; });
        QTest::newRow("baud code") << Change([](LoggerSettings& s) { s.FixedBaudRate = 128; });
        QTest::newRow("alarm hour") << Change([](LoggerSettings& s) { s.AlarmHour[1] = 160; });
        QTest::newRow("negative alarm second") << Change([](LoggerSettings& s) { s.AlarmSec[0] = -1; });
        QTest::newRow("name") << Change([](LoggerSettings& s) { s.LoggerName = QString::fromUtf8("Tank \u20AC"); });
        QTest::newRow("unit") << Change([](LoggerSettings& s) { s.EngUnits[9] = QString::fromUtf8("m\u00B3/\u03C3"); });
        QTest::newRow("weir tag") << Change([](LoggerSettings& s) { s.WeirTag = QString::fromUtf8("\U0001F30A"); });
        QTest::newRow("table path") << Change([](LoggerSettings& s) { s.TablePath = QString::fromUtf8("C:\\\u6C34.tbl"); });
    }
    void encodingFails()
    {
        QFETCH(std::function<void(LoggerSettings&)>, change);
        LoggerSettings settings = DefaultRecord();
        change(settings);
        QVERIFY(!EncodeSettings(settings, true).has_value());
        QVERIFY(!EncodeSettings(settings, false).has_value());
    }

    void warmupOf65SecondsFitsAndReadsBackAs60()
    {
        LoggerSettings settings = DefaultRecord();
        settings.SensorWarmupTime = 65;
        const QByteArray image = Encoded(settings);
        QCOMPARE(Bytes(image, 40, 2).toHex(' '), Hex("e8fd").toHex(' '));
        RatingState rating;
        QVERIFY(DecodeSettings(image, settings, rating, true));
        QCOMPARE(settings.SensorWarmupTime, uint8_t(60));
    }

    // Hand-built images: each patch of the defaults' image and the field it gives.
    void decodesAndCorrects_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("patch");
        QTest::addColumn<bool>("sodSupported");
        QTest::addColumn<QStringList>("expected");
        const auto row = [](const char* name, int offset, const QByteArray& patch, const QStringList& expected,
                            bool sod = false) { QTest::newRow(name) << offset << patch << sod << expected; };
        row("1 minute", 32, Hex("010001"), {R"(SampleInterval="1 minute")"});
        row("5 hours", 32, Hex("050002"), {R"(SampleInterval="5 hours")"});
        row("0 second", 32, Hex("000000"), {R"(SampleInterval="0 second")"});
        row("unit above 2 is day", 32, Hex("0200fe"), {R"(SampleInterval="2 days")"});
        row("largest count", 32, Hex("ffff01"), {R"(SampleInterval="65535 minutes")"});
        row("enables beyond the channels", 37, Hex("ffff"),
            {"AnalogEnable[0]=1", "AnalogEnable[2]=1", "AnalogEnable[3]=0", "AnalogEnable[7]=0", "DigitalEnable[1]=1"});
        row("enable bits as stored", 37, Hex("0502"), {"AnalogEnable[0]=1", "AnalogEnable[1]=0", "AnalogEnable[2]=1",
                                                      "DigitalEnable[0]=0", "DigitalEnable[1]=1"});
        row("wrap and 115200", 39, Hex("0d"), {"DataWrapAroundFlag=1", "FixedBaudRate=6"});
        row("warm-up 45500 ms", 40, Hex("bcb1"), {"SensorWarmupTime=45"});
        row("warm-up limited", 40, Hex("ffff"), {"SensorWarmupTime=60"});
        row("alarm enables", 42, Hex("0700"), {"AlarmEnable[0]=1", "AlarmEnable[1]=0"});
        row("no sample on demand without the capability", 44, Hex("01"), {"EnableSOD=0"});
        row("sample on demand with the capability", 44, Hex("01"), {"EnableSOD=1"}, true);
        row("style and deadband", 45, Hex("81 3930"), {"LoggingStyle=129", "Deadband=12345"});
        row("alarms", 138, Hex("300523 ff 000012 00"),
            {"AlarmSec[0]=30", "AlarmMin[0]=5", "AlarmHour[0]=23", "AlarmSec[1]=0", "AlarmHour[1]=12"});
        row("bcd digits unchecked", 140, Hex("ff"), {"AlarmHour[0]=165"});
        row("decimals unchecked", 146, Hex("09"), {"DecPlaces[0]=9"});
        row("raw scales", 156, Hex("3412"), {"RawScaleLower[0]=4660"});
        row("negative limit", 194, Number24Bytes(-2.5), {"LowerLimit[0]=-2.5"});
        row("flow mode above 4", 290, Hex("05"), {"FlowMode=0"});
        row("flow mode 4", 290, Hex("04"), {"FlowMode=4"});
        row("type codes masked", 297, Hex("ff"), {"ManningsSType=1"});
        row("diameter type masked", 301, Hex("07"), {"ManningsDType=3"});
        row("offset type masked", 321, Hex("06"), {"LevelOffsetType=2"});
        row("flow units above 4", 322, Hex("07"), {"FlowUnits=0"});
        row("velocity units above 4", 326, Hex("c8"), {"VelUnits=0"});
        row("velocity units 1", 326, Hex("01"), {"VelUnits=1"});
        row("name with NULs", 0, QByteArray("Tank 3").leftJustified(32, '\0'), {R"(LoggerName="Tank 3")"});
        row("name with spaces", 0, QByteArray("Tank 3").leftJustified(32, ' '), {R"(LoggerName="Tank 3")"});
        row("unprintable bytes", 0, Hex("41074209e94320"), {R"(LoggerName="A B  C Logger")"});
        row("all spaces", 48, QByteArray(9, ' '), {R"(EngUnits[0]="")"});
        row("tags trimmed both sides", 302, QByteArray("  PF2   \tV90\x01   "),
            {R"(FlumeTag="PF2")", R"(WeirTag="V90")"});
        row("table path keeps leading blanks", 330, QByteArray("  C:\\flow.tbl"), {R"(TablePath="  C:\flow.tbl")"});
    }
    void decodesAndCorrects()
    {
        QFETCH(int, offset);
        QFETCH(QByteArray, patch);
        QFETCH(bool, sodSupported);
        QFETCH(QStringList, expected);
        QByteArray image = Encoded(DefaultRecord());
        image.replace(offset, patch.size(), patch);
        LoggerSettings settings;
        settings.NumAnalogChannels = 3;
        settings.NumDigitalChannels = 2;
        settings.SodSupported = sodSupported;
        RatingState rating;
        QVERIFY(DecodeSettings(image, settings, rating, true));
        const QMap<QString, QString> fields = DescribeSettings(settings);
        for (const QString& field : expected) {
            const QString name = field.section(u'=', 0, 0);
            QCOMPARE(name + u'=' + fields.value(name), field);
        }
    }

    void flowBlockNeverWrittenGivesTheDefaultFlow()
    {
        LoggerSettings written = DefaultRecord();
        written.FlowMode = 3;
        written.WeirTag = "V90";
        written.TablePath = "C:\\x.tbl";
        written.FlowTop = 7.5;
        written.VelUnits = 1;
        QByteArray image = Encoded(written);
        image[290] = char(0xFF);
        // Nothing after byte 290 is looked at.
        image.replace(291, 167, QByteArray(167, char(0xEE)));
        LoggerSettings settings;
        RatingState rating;
        rating.FlowTable.assign(4, RatingPoint{2.0, 3.0});
        QVERIFY(DecodeSettings(image, settings, rating, true));
        LoggerSettings expected = DefaultRecord();
        expected.AnalogEnable = {1, 1, 1, 0, 0, 0, 0, 0};
        QCOMPARE(SettingsDifferences(settings, expected), QString());
        QCOMPARE(rating.FlowTable.size(), size_t(2));
        QCOMPARE(rating.FlowTable[1].Level, 0.0);
        QCOMPARE(rating.FlowTable[1].Flow, 0.0);
    }

    void writtenFlowBlockKeepsTheFlowTable()
    {
        RatingState rating;
        rating.FlowTable.assign(4, RatingPoint{2.0, 3.0});
        LoggerSettings settings = DefaultRecord();
        QVERIFY(DecodeSettings(Encoded(settings), settings, rating, true));
        QCOMPARE(rating.FlowTable.size(), size_t(4));
    }

    void shortImageChangesNothing_data()
    {
        QTest::addColumn<int>("length");
        QTest::newRow("empty") << 0;
        QTest::newRow("first two regions") << 290;
        QTest::newRow("never-written flow mark, no more") << 291;
        QTest::newRow("one byte short") << SettingsImageSize - 1;
    }
    void shortImageChangesNothing()
    {
        QFETCH(int, length);
        LoggerSettings other = DefaultRecord();
        other.LoggerName = "Other";
        other.SampleInterval = "5 minutes";
        QByteArray image = Encoded(other).left(length);
        if (length > 290) image[290] = char(0xFF);
        LoggerSettings settings = DefaultRecord();
        RatingState rating;
        rating.FlowTable.assign(5, RatingPoint{});
        QVERIFY(!DecodeSettings(image, settings, rating, true));
        QCOMPARE(SettingsDifferences(settings, DefaultRecord()), QString());
        QCOMPARE(rating.FlowTable.size(), size_t(5));
    }

    void longerImageDecodesItsFirst458Bytes()
    {
        LoggerSettings settings = DefaultRecord();
        settings.LoggerName = "Weir 9";
        RatingState rating;
        LoggerSettings decoded = DefaultRecord();
        QVERIFY(DecodeSettings(Encoded(settings) + QByteArray(10, 'z'), decoded, rating, true));
        QCOMPARE(decoded.LoggerName, QString("Weir 9"));
    }

    // Many random records: encode then decode gives every field back but for
    // the documented normalisations, and the image is always 458 bytes.
    void roundTripOverGeneratedRecords()
    {
        RecordGenerator generator(20261206);
        for (int n = 0; n < 1000; ++n) {
            const LoggerSettings original = generator.Next();
            const std::optional<QByteArray> image = EncodeSettings(original, true);
            QVERIFY2(image.has_value(), qPrintable(QString::number(n)));
            QCOMPARE(image->size(), SettingsImageSize);
            LoggerSettings decoded;
            decoded.NumAnalogChannels = original.NumAnalogChannels;
            decoded.NumDigitalChannels = original.NumDigitalChannels;
            decoded.SodSupported = original.SodSupported;
            RatingState rating;
            QVERIFY(DecodeSettings(*image, decoded, rating, true));
            const QString differences = SettingsDifferences(decoded, ReadBack(original));
            QVERIFY2(differences.isEmpty(), qPrintable(QStringLiteral("record %1:\n%2").arg(n).arg(differences)));
        }
    }

    void failedImagesEqualNothing()
    {
        LoggerSettings settings = DefaultRecord();
        const std::optional<QByteArray> good = EncodeSettings(settings, true);
        QVERIFY(ImagesEqual(good, EncodeSettings(settings, true)));
        settings.DisplayTop[0] = 100.0000001; // beyond six digits: the same image
        QVERIFY(ImagesEqual(good, EncodeSettings(settings, true)));
        settings.DisplayTop[0] = 100.001;
        QVERIFY(!ImagesEqual(good, EncodeSettings(settings, true)));
        settings.Deadband = 70000;
        const std::optional<QByteArray> failed = EncodeSettings(settings, true);
        QVERIFY(!ImagesEqual(failed, good));
        QVERIFY(!ImagesEqual(failed, failed));
    }

    void fixedTextCodec()
    {
        QByteArray image(12, '\0');
        QVERIFY(EncodeFixedText(QString::fromLatin1("ab\xE9"), image, 2, 5));
        QCOMPARE(image.toHex(' '), Hex("0000 6162e92020 0000000000").toHex(' '));
        QCOMPARE(DecodeFixedText(image, 2, 5), QString("ab"));
        QCOMPARE(DecodeFixedText(image, 0, 4), QString("  ab"));
        QVERIFY(!EncodeFixedText("too far", image, 8, 5));
        QVERIFY(EncodeFixedText("", image, 0, 0));
    }
};

BREVEL_TEST(SettingsImageTest)
#include "tst_settingsimage.moc"
