#include "LinkRig.h"
#include "ScratchFolder.h"
#include "SettingsDescription.h"
#include "TestRegistry.h"
#include "config/Number24.h"
#include "config/SettingsImage.h"
#include "config/SetupFile.h"

#include <QTest>

#include <functional>
#include <limits>

namespace {

using Change = std::function<void(LoggerSettings&)>;

constexpr uint32_t Negative = 0x800000;

constexpr uint32_t Code(uint32_t decimals, uint32_t mantissa) { return (decimals << 20) + mantissa; }

} // namespace

class SettingsImageTest : public QObject {
    Q_OBJECT
private slots:
    void numbers_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<uint32_t>("code");
        QTest::addColumn<QString>("stored");
        const auto row = [](const char* name, double value, uint32_t code, const char* stored) {
            QTest::newRow(name) << value << code << QString::fromLatin1(stored);
        };
        row("six digits kept", -1.23456, Negative + Code(5, 123456), "-1.2345599999999999");
        // One division per decimal place gives these, not m / 10^e.
        row("0.014 by seven divisions", 0.014, Code(7, 140000), "0.013999999999999999");
        row("0.00000005 rounds up", 0.00000005, Code(7, 1), "1.0000000000000002e-07");
        row("below 0.00000005 keeps seven decimals", 0.000000049, Code(7, 0), "0");
        row("not a number", std::numeric_limits<double>::quiet_NaN(), 0, "0");
        row("above the largest", -123456789.0, Negative + Code(0, 999999), "-999999");
        row("999999.5 is cut, not rounded up", 999999.5, Code(0, 999999), "999999");
        row("99999.95 needs no decimal", 99999.95, Code(0, 100000), "100000");
        row("99999.949 takes one", 99999.949, Code(1, 999999), "99999.899999999994");
        // x + 0.5 lands just below the half; at 15 digits it is the half.
        row("100.0015 rounds up", 100.0015, Code(3, 100002), "100.00200000000001");
    }
    void numbers()
    {
        QFETCH(double, value);
        QFETCH(uint32_t, code);
        QCOMPARE(QString::number(EncodeNumber24(value), 16), QString::number(code, 16));
        const double back = DecodeNumber24(code);
        QTEST(QString::number(back, 'g', 17), "stored"); // every digit: a last bit that differs shows
        // The setup window shows the stored value; storing that again changes nothing.
        if (back != 0.0) {
            QCOMPARE(QString::number(EncodeNumber24(back), 16), QString::number(code, 16));
        }
    }

    // The base record changed: the interval's count and unit bytes, or no image when a value does not fit.
    void encodes_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<QByteArray>("interval");
        const auto interval = [](const char* text, const char* countAndUnit) {
            QTest::newRow(text) << Change([text](LoggerSettings& s) { s.SampleInterval = text; }) << Hex(countAndUnit);
        };
        const auto fails = [](const char* name, const Change& change) {
            QTest::newRow(name) << change << QByteArray();
        };
        interval("2 Minutes", "020000"); // the unit search is case-sensitive
        interval("3 hours 5 min", "030001");
        interval("2.5 hours", "020002"); // ties to even
        interval("day", "000003");
        interval("65535.5 seconds", "");
        interval("-1 day", "");
        fails("warm-up 66 s", [](LoggerSettings& s) { s.SensorWarmupTime = 66; });
        fails("baud code", [](LoggerSettings& s) { s.FixedBaudRate = 128; });
        fails("alarm hour", [](LoggerSettings& s) { s.AlarmHour[1] = 160; });
        fails("negative alarm second", [](LoggerSettings& s) { s.AlarmSec[0] = -1; });
        fails("table path", [](LoggerSettings& s) { s.TablePath = QString::fromUtf8("C:\\\u6C34.tbl"); });
    }
    void encodes()
    {
        QFETCH(Change, change);
        LoggerSettings settings = BaseRecord();
        change(settings);
        const std::optional<QByteArray> image = EncodeSettings(settings, true);
        QCOMPARE(ImagesEqual(image, image), image.has_value()); // a record that cannot be encoded counts as changed
        QTEST(image.value_or(QByteArray()).mid(32, 3), "interval");
    }

    // The base image patched, cut or lengthened: the fields beside the base record's. Each field entry encodes back
    // and loads back from a setup file; a flow block never written (0xFF at 290): default flow, a one-point table.
    void decodes_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("patch");
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<bool>("sodSupported");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("encodesBack");
        for (const RecordField& field : RecordFields()) {
            for (int i = 0; i < field.count; ++i) {
                QByteArray bytes = field.bytes.isEmpty() ? field.value.toString().toLatin1() : field.bytes;
                bytes[0] = char(uint8_t(bytes[0]) << (field.step == 0 ? i : 0));
                LoggerSettings changed = BaseRecord();
                field.set(changed, i, field.value);
                QTest::newRow(qPrintable(field.entry(i))) << field.offset + field.step * i << bytes
                                                          << QStringList{field.entry(i) + u'=' + field.text(changed, i)}
                                                          << true << SettingsImageSize << true;
            }
        }
        const auto row = [](const char* name, int offset, const QByteArray& patch, const QStringList& changes,
                            bool sod = true, int length = SettingsImageSize) {
            QTest::newRow(name) << offset << patch << changes << sod << length << false;
        };
        const QByteArray blankFlowBlock = Hex("ff") + QByteArray(167, char(0xEE));
        row("1 minute, enables beyond the channel counts, warm-up 45500 ms, any alarm enable byte but 0, no sample "
            "on demand without the capability", 32, Hex("010001 0301ffff 00 bcb1 0700 07"),
            {R"(SampleInterval="1 minute")", "NumAnalogChannels=3", "NumDigitalChannels=1", "AnalogEnable[0]=1",
             "AnalogEnable[1]=1", "AnalogEnable[2]=1", "DigitalEnable[0]=1", "SensorWarmupTime=45", "AlarmEnable[0]=1"},
            false);
        row("unit above 2 is day, warm-up 65000 ms limited", 32, Hex("0200fe 0802 0000 00 e8fd"),
            {R"(SampleInterval="2 days")", "SensorWarmupTime=60"});
        row("flow mode above 4, slope and diameter types masked", 290, Hex("05 000000 000000 ff00000007"),
            {"ManningsSType=1", "ManningsDType=3"});
        row("unprintable, then NULs", 0, Hex("411f420980437f").leftJustified(32, '\0'), {"LoggerName=\"A B  C\x7F\""});
        row("tags trimmed, offset type masked, flow and velocity units above 4; table path keeps leading blanks", 302,
            QByteArray("  PF2   \tV90\x01   ") + Hex("000000 0607 000000 c8 000000") + "  C:\\flow.tbl",
            {R"(FlumeTag="PF2")", R"(WeirTag="V90")", "LevelOffsetType=2", R"(TablePath="  C:\flow.tbl")"});
        row("flow block never written", 290, blankFlowBlock, {}, true, SettingsImageSize + 10);
        row("one byte short", 290, blankFlowBlock, {}, true, SettingsImageSize - 1);
    }
    void decodes()
    {
        QFETCH(int, offset);
        QFETCH(QByteArray, patch);
        QFETCH(QStringList, changes);
        QFETCH(bool, sodSupported);
        QFETCH(int, length);
        // The base record's image: zeros, blank texts, the channel counts, 0x80 after each alarm time.
        QByteArray image(SettingsImageSize, '\0');
        for (const RecordField& field : RecordFields()) {
            if (field.bytes.isEmpty()) {
                image.replace(field.offset, field.step * field.count, QByteArray(field.step * field.count, ' '));
            }
        }
        image.replace(35, 2, Hex("0802"));
        image[141] = image[145] = char(0x80);
        image.replace(offset, patch.size(), patch);
        LoggerSettings settings = BaseRecord();
        settings.LoggerName = "Before";
        settings.NumAnalogChannels = uint8_t(image[35]);
        settings.NumDigitalChannels = uint8_t(image[36]);
        settings.SodSupported = sodSupported;
        const bool taken = length >= SettingsImageSize;
        const bool neverWritten = taken && uint8_t(image[290]) == 0xFF;
        LoggerSettings expected = taken ? BaseRecord() : settings;
        if (neverWritten) {
            ApplyDefaultFlowSettings(expected);
        }
        RatingState rating;
        rating.FlowTable.assign(4, RatingPoint{2.0, 3.0});
        QCOMPARE(DecodeSettings(image.leftJustified(length, 'z', true), settings, rating, true), taken);
        QCOMPARE(SettingsDifferences(settings, expected, changes), QString());
        QCOMPARE(FlowTablePointCount(rating), neverWritten ? 1 : 3);
        QFETCH(bool, encodesBack);
        if (encodesBack) {
            QCOMPARE(EncodeSettings(settings, true).value_or(QByteArray()).toHex(' '), image.toHex(' '));
            ScratchFolder folder;
            QVERIFY(WriteSetupFile(folder.path("f.set"), settings, SetupFileStamp{}, true));
            LoggerSettings loaded = BaseRecord();
            QVERIFY(ReadSetupFile(folder.path("f.set"), loaded, rating, true));
            // The channel counts are the logger's, not the file's.
            QCOMPARE(SettingsDifferences(loaded, settings, {"NumAnalogChannels=8", "NumDigitalChannels=2"}), QString());
        }
    }
};

BREVEL_TEST(SettingsImageTest)
#include "tst_settingsimage.moc"
