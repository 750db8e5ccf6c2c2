#include "SettingsDescription.h"
#include "TestRegistry.h"
#include "config/DefaultSettings.h"
#include "config/Number24.h"
#include "config/SettingsImage.h"
#include "config/Rating.h"

#include <QTest>

#include <functional>

namespace {

using Change = std::function<void(LoggerSettings&)>;

QByteArray Encoded(const LoggerSettings& settings)
{
    return EncodeSettings(settings, true).value_or(QByteArray());
}

QByteArray Hex(const char* hex)
{
    return QByteArray::fromHex(hex);
}

// The record in the form that decoding gives: no enables beyond the channel
// counts, no sample on demand without the capability, blanks for letters
// beyond ASCII, every number as the logger stores it.
LoggerSettings AsStored(LoggerSettings s)
{
    s.EnableSOD = s.SodSupported ? s.EnableSOD : 0;
    for (QString& units : s.EngUnits) {
        std::replace_if(units.begin(), units.end(), [](QChar c) { return c.unicode() > 127; }, u' ');
    }
    std::fill(s.AnalogEnable.begin() + s.NumAnalogChannels, s.AnalogEnable.end(), 0);
    std::fill(s.DigitalEnable.begin() + s.NumDigitalChannels, s.DigitalEnable.end(), 0);
    const auto stored = [](double& v) { v = DecodeNumber24(EncodeNumber24(v)); };
    for (auto* list : {&s.LowerLimit, &s.UpperLimit, &s.DisplayBottom, &s.DisplayTop}) {
        std::for_each(list->begin(), list->end(), stored);
    }
    for (double* v : {&s.PulseUnit[0], &s.PulseUnit[1], &s.FlowTop, &s.VelTop, &s.ManningsN, &s.ManningsS,
                      &s.ManningsD, &s.LevelOffset}) {
        stored(*v);
    }
    return s;
}

// A record at the far ends of what each image field holds: eight analog
// channels, sample on demand.
LoggerSettings ExtremeRecord()
{
    LoggerSettings s = DefaultRecord(8, 2);
    s.SodSupported = true;
    s.SampleInterval = "65535 hours";
    s.FixedBaudRate = 127;
    s.SensorWarmupTime = 60;
    s.EnableSOD = 255;
    s.LoggingStyle = 255;
    s.Deadband = 65535;
    s.AlarmEnable = {0, 1};
    s.AlarmHour = {99, 0};
    s.AlarmSec = {0, 99};
    s.DecPlaces.fill(255);
    s.RawScaleLower.fill(65535);
    s.RawScaleUpper[7] = 0;
    s.LowerLimit.fill(-999999.0);
    s.UpperLimit[7] = 0.0000001;
    s.DisplayBottom[3] = -0.123456;
    s.PulseUnit[1] = 123456.0;
    s.FlowMode = 4;
    s.FlowUnits = s.VelUnits = 4;
    s.ManningsDType = s.LevelOffsetType = 3;
    s.ManningsSType = 1;
    s.LoggerName = QString(32, u'~');
    s.EngUnits[8] = " a b c d";
    s.FlumeTag = "ABCDEFGH";
    s.TablePath = QString(128, u'x');
    return s;
}

} // namespace

class SettingsImageTest : public QObject {
    Q_OBJECT
private slots:
    // The image of the edited record, with a change: the bytes at an offset,
    // or none when the change makes a value that does not fit its field.
    void encodes_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("bytes");
        const auto layout = [](const char* fields, int offset, const QByteArray& bytes) {
            QTest::newRow(fields) << Change([](LoggerSettings&) {}) << offset << bytes;
        };
        const auto interval = [](const char* text, const char* countAndUnit) {
            QTest::newRow(text) << Change([text](LoggerSettings& s) { s.SampleInterval = text; }) << 32
                                << (countAndUnit ? Hex(countAndUnit) : QByteArray());
        };
        const auto fails = [](const char* name, const Change& change) {
            QTest::newRow(name) << change << 0 << QByteArray();
        };
        const QByteArray hundreds = Hex("a08631").repeated(5);
        layout("LoggerName", 0, QByteArray("Pump 2").leftJustified(32, ' '));
        layout("interval, counts, all eight enables, baud and wrap", 32, Hex("0f00 01 03 02 fd 01 0c"));
        layout("warm-up, alarm enables, SOD, style, deadband", 40, Hex("c8af 01 00 01 81 fa00"));
        layout("EngUnits", 48, "Feet     \xB0" "C       Volts    %        %        %        %        %        "
                               "Pulses   Litres   ");
        layout("alarm times", 138, Hex("00052380 59301280"));
        layout("DecPlaces", 146, Hex("03020202020202020001"));
        layout("RawScaleLower", 156, Hex("b004 0000 6400") + QByteArray(10, '\0'));
        layout("RawScaleUpper", 172, Hex("60ea ffff b0f3 ffff ffff ffff ffff ffff"));
        layout("PulseUnit", 188, Hex("90d063 a08651"));
        layout("LowerLimit", 194, Hex("20a1e7 000000 20a167") + QByteArray(15, '\0'));
        layout("UpperLimit", 218, Hex("41e241 a08631 80a943") + hundreds);
        layout("DisplayBottom", 242, Hex("3f428f 000000 a08651") + QByteArray(15, '\0'));
        layout("DisplayTop", 266, Hex("010070 a08631 80a943") + hundreds);
        layout("Manning's", 290, Hex("03 d0fb71 204e70 00 20bf42 01"));
        layout("tags", 302, "PF2     V90     ");
        layout("level offset, flow and velocity", 318, Hex("48e8d1 03 02 f04952 01 88f554"));
        layout("TablePath", 330, QByteArray("C:\\Flow Tables\\creek.tbl").leftJustified(128, ' '));
        interval("1 day", "010003");
        interval("2 Minutes", "020000"); // the unit search is case-sensitive
        interval("3 hours 5 min", "030001");
        interval("2.5 hours", "020002"); // ties to even
        interval("day", "000003");
        interval("65535.4 seconds", "ffff00");
        interval("65535.5 seconds", nullptr);
        interval("-1 day", nullptr);
        fails("warm-up 66 s", [](LoggerSettings& s) { s.SensorWarmupTime = 66; });
        fails("deadband", [](LoggerSettings& s) { s.Deadband = 65536; });
        fails("negative deadband", [](LoggerSettings& s) { s.Deadband = -1; });
        fails("raw scale lower", [](LoggerSettings& s) { s.RawScaleLower[7] = -5; });
        fails("raw scale upper", [](LoggerSettings& s) { s.RawScaleUpper[0] = 70000; });
        fails("baud code", [](LoggerSettings& s) { s.FixedBaudRate = 128; });
        fails("alarm hour", [](LoggerSettings& s) { s.AlarmHour[1] = 160; });
        fails("negative alarm second", [](LoggerSettings& s) { s.AlarmSec[0] = -1; });
        fails("name", [](LoggerSettings& s) { s.LoggerName = QString::fromUtf8("Tank \u20AC"); });
        fails("table path", [](LoggerSettings& s) { s.TablePath = QString::fromUtf8("C:\\\u6C34.tbl"); });
    }
    void encodes()
    {
        QFETCH(Change, change);
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        LoggerSettings settings = EditedRecord();
        change(settings);
        const std::optional<QByteArray> image = EncodeSettings(settings, true);
        QCOMPARE(EncodeSettings(settings, false).has_value(), image.has_value());
        if (bytes.isEmpty()) {
            QVERIFY(!image.has_value());
            QVERIFY(!ImagesEqual(image, image)); // a record that cannot be encoded counts as changed
            return;
        }
        QVERIFY(image.has_value());
        QCOMPARE(image->size(), SettingsImageSize);
        QCOMPARE(image->mid(offset, bytes.size()).toHex(' '), bytes.toHex(' '));
    }

    // Hand-patched images of the defaults, and the values the record takes
    // from them: a three-channel logger with one pulse channel.
    void decodesAndCorrects_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("patch");
        QTest::addColumn<bool>("sodSupported");
        QTest::addColumn<QStringList>("expected");
        const auto row = [](const char* name, int offset, const QByteArray& patch, const QStringList& expected,
                            bool sod = false) { QTest::newRow(name) << offset << patch << sod << expected; };
        row("0 second", 32, Hex("000000"), {R"(SampleInterval="0 second")"});
        row("1 minute", 32, Hex("010001"), {R"(SampleInterval="1 minute")"});
        row("3 hours", 32, Hex("030002"), {R"(SampleInterval="3 hours")"});
        row("unit above 2 is day", 32, Hex("0200fe"), {R"(SampleInterval="2 days")"});
        row("enables beyond the channel counts", 37, Hex("ffff"),
            {"AnalogEnable[2]=1", "AnalogEnable[3]=0", "AnalogEnable[7]=0", "DigitalEnable[0]=1", "DigitalEnable[1]=0"});
        row("warm-up 45500 ms", 40, Hex("bcb1"), {"SensorWarmupTime=45"});
        row("warm-up 65000 ms limited", 40, Hex("e8fd"), {"SensorWarmupTime=60"});
        row("alarm enables", 42, Hex("0700"), {"AlarmEnable[0]=1", "AlarmEnable[1]=0"});
        row("no sample on demand without the capability", 44, Hex("07"), {"EnableSOD=0"});
        row("sample on demand with the capability", 44, Hex("07"), {"EnableSOD=7"}, true);
        row("flow mode 4", 290, Hex("04"), {"FlowMode=4"});
        row("flow mode above 4", 290, Hex("05"), {"FlowMode=0"});
        row("slope type masked", 297, Hex("ff"), {"ManningsSType=1"});
        row("diameter type masked", 301, Hex("07"), {"ManningsDType=3"});
        row("offset type masked", 321, Hex("06"), {"LevelOffsetType=2"});
        row("flow units above 4", 322, Hex("07"), {"FlowUnits=0"});
        row("velocity units above 4", 326, Hex("c8"), {"VelUnits=0"});
        row("name with NULs", 0, QByteArray("Tank 3").leftJustified(32, '\0'), {R"(LoggerName="Tank 3")"});
        row("unprintable bytes", 0, Hex("411f420980437f"), {"LoggerName=\"A B  C\x7FLogger\""});
        // A unit the program let the user program reads back as it was stored.
        row("Latin-1 text as stored", 48, QByteArray("\xb0" "C       "), {"EngUnits[0]=\"\u00b0C\""});
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
        LoggerSettings settings = EditedRecord();
        settings.NumDigitalChannels = 1;
        settings.SodSupported = sodSupported;
        RatingState rating;
        QVERIFY(DecodeSettings(image, settings, rating, true));
        QCOMPARE(FieldMismatches(settings, expected), QString());
    }

    // A flow block never written (byte 290 = 0xFF) gives the default flow
    // settings and a one-point flow table, whatever the rest of it holds. Only
    // a whole image is taken: a short one leaves record and table alone.
    void decodesTheFlowBlock_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("neverWritten");
        QTest::addColumn<bool>("taken");
        QTest::newRow("written") << SettingsImageSize << false << true;
        QTest::newRow("never written") << SettingsImageSize << true << true;
        QTest::newRow("longer") << SettingsImageSize + 10 << true << true;
        QTest::newRow("one byte short") << SettingsImageSize - 1 << true << false;
        QTest::newRow("the never-written mark, no more") << 291 << true << false;
    }
    void decodesTheFlowBlock()
    {
        QFETCH(int, length);
        QFETCH(bool, neverWritten);
        QFETCH(bool, taken);
        LoggerSettings before = EditedRecord();
        before.LoggerName = "Before";
        LoggerSettings expected = before;
        RatingState rating;
        QByteArray image = Encoded(EditedRecord());
        QVERIFY(DecodeSettings(image, expected, rating, true));
        if (neverWritten) {
            ApplyDefaultFlowSettings(expected);
            image[290] = char(0xFF);
            image.replace(291, 167, QByteArray(167, char(0xEE)));
        }
        LoggerSettings settings = before;
        rating.FlowTable.assign(4, RatingPoint{2.0, 3.0});
        QCOMPARE(DecodeSettings(image.leftJustified(length, 'z', true), settings, rating, true), taken);
        QCOMPARE(SettingsDifferences(settings, taken ? expected : before), QString());
        QCOMPARE(FlowTablePointCount(rating), taken && neverWritten ? 1 : 3);
    }

    // Encode then decode gives every field back.
    void roundTrip_data()
    {
        QTest::addColumn<LoggerSettings>("original");
        QTest::newRow("edited") << AsStored(EditedRecord());
        QTest::newRow("extremes") << AsStored(ExtremeRecord());
    }
    void roundTrip()
    {
        QFETCH(LoggerSettings, original);
        const std::optional<QByteArray> image = EncodeSettings(original, true);
        QVERIFY(image.has_value());
        LoggerSettings decoded;
        decoded.NumAnalogChannels = original.NumAnalogChannels;
        decoded.NumDigitalChannels = original.NumDigitalChannels;
        decoded.SodSupported = original.SodSupported;
        RatingState rating;
        QVERIFY(DecodeSettings(*image, decoded, rating, true));
        QCOMPARE(SettingsDifferences(decoded, original), QString());
    }
};

BREVEL_TEST(SettingsImageTest)
#include "tst_settingsimage.moc"
