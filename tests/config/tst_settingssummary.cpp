#include "SettingsDescription.h"
#include "TestRegistry.h"
#include "config/DefaultSettings.h"
#include "config/SettingsSummary.h"
#include "flow/Rating.h"

#include <QTest>

namespace {

QStringList Texts(const SettingsSummary::Channel& channel)
{
    return {channel.Shown ? "shown" : "hidden", channel.MinText, channel.MaxText, channel.UnitsText};
}

} // namespace

class SettingsSummaryTest : public QObject {
    Q_OBJECT
private slots:
    void threeChannelDefaultRecord()
    {
        const SettingsSummary summary = BuildSettingsSummary(DefaultRecord(3, 2));
        QCOMPARE(summary.SampleIntervalText, QString("1 day"));
        QCOMPARE(summary.WarmupText, QString("3 sec"));
        QCOMPARE(summary.AlarmText[0], QString("12:00:00 AM"));
        QCOMPARE(summary.AlarmText[1], QString("12:00:00 AM"));
        QCOMPARE(summary.AlarmEnabled[0], false);
        QCOMPARE(summary.AlarmEnabled[1], false);
        QCOMPARE(summary.Channels.size(), size_t(3));
        QCOMPARE(Texts(summary.Channels[0]), (QStringList{"shown", "0.00", "100.00", "Feet"}));
        QCOMPARE(Texts(summary.Channels[1]), (QStringList{"shown", "0.00", "100.00", "Temp C"}));
        QCOMPARE(Texts(summary.Channels[2]), (QStringList{"shown", "0.00", "24.00", "Volts"}));
        QCOMPARE(summary.Channels[2].Minimum, 0.0);
        QCOMPARE(summary.Channels[2].Maximum, 24.0);
        QCOMPARE(summary.Pulse1Enabled, true);
        QCOMPARE(summary.Pulse2Enabled, std::optional<bool>(true));
    }

    void channelTextsFollowTheirDecimals()
    {
        LoggerSettings settings = DefaultRecord(3, 2);
        settings.DisplayTop[0] = 2.5;
        settings.DisplayBottom[0] = -0.125;
        settings.DecPlaces[0] = 0;
        settings.DisplayTop[1] = 1.23456789;
        settings.DecPlaces[1] = 9;
        settings.EngUnits[1] = "deg F";
        const SettingsSummary summary = BuildSettingsSummary(settings);
        QCOMPARE(Texts(summary.Channels[0]), (QStringList{"shown", "0", "2", "Feet"}));
        QCOMPARE(summary.Channels[0].Minimum, -0.125);
        QCOMPARE(Texts(summary.Channels[1]), (QStringList{"shown", "0.000000", "1.234568", "deg F"}));
    }

    // A disabled channel's column loses range, unit and value; other columns stay.
    void disabledChannelClearsItsColumn()
    {
        LoggerSettings settings = DefaultRecord(3, 2);
        settings.AnalogEnable[1] = 0;
        const SettingsSummary summary = BuildSettingsSummary(settings);
        QCOMPARE(Texts(summary.Channels[1]), (QStringList{"hidden", "", "", ""}));

        std::array<MeterColumn, 8> columns{};
        for (MeterColumn& column : columns) {
            column = MeterColumn{true, true, -1.0, 9.0, 4.5, "x", 77};
        }
        ApplySummaryToColumns(summary, columns);
        QCOMPARE(columns[0].Shown, true);
        QCOMPARE(columns[0].Minimum, 0.0);
        QCOMPARE(columns[0].Maximum, 100.0);
        QCOMPARE(columns[0].Value, 4.5);
        QCOMPARE(columns[1].Shown, false);
        QCOMPARE(columns[1].Minimum, 0.0);
        QCOMPARE(columns[1].Maximum, 0.0);
        QCOMPARE(columns[1].Value, 0.0);
        QCOMPARE(columns[2].Maximum, 24.0);
        // Flow, velocity and the hidden columns belong to others.
        for (int c = 3; c < 8; ++c) {
            QCOMPARE(columns[c].Minimum, -1.0);
            QCOMPARE(columns[c].Maximum, 9.0);
            QCOMPARE(columns[c].Value, 4.5);
            QCOMPARE(columns[c].Shown, true);
        }
        // Enabled again, the range comes back; the value waits for the next sample.
        settings.AnalogEnable[1] = 1;
        ApplySummaryToColumns(BuildSettingsSummary(settings), columns);
        QCOMPARE(columns[1].Shown, true);
        QCOMPARE(columns[1].Maximum, 100.0);
        QCOMPARE(columns[1].Value, 0.0);
    }

    void pulseFrames_data()
    {
        QTest::addColumn<int>("pulseChannels");
        QTest::addColumn<bool>("first");
        QTest::addColumn<std::optional<bool>>("second");
        QTest::newRow("none: second left alone") << 0 << false << std::optional<bool>();
        QTest::newRow("one") << 1 << true << std::optional<bool>(false);
        QTest::newRow("two") << 2 << true << std::optional<bool>(true);
    }
    void pulseFrames()
    {
        QFETCH(int, pulseChannels);
        QFETCH(bool, first);
        QFETCH(std::optional<bool>, second);
        LoggerSettings settings = DefaultRecord(3, pulseChannels);
        settings.DigitalEnable = {0, 0}; // plays no part
        const SettingsSummary summary = BuildSettingsSummary(settings);
        QCOMPARE(summary.Pulse1Enabled, first);
        QCOMPARE(summary.Pulse2Enabled, second);
    }

    void schedule_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("text");
        QTest::newRow("periodic") << 0 << "15 minutes";
        QTest::newRow("logarithmic") << 1 << "Logarithmic";
        QTest::newRow("fast") << 2 << "Fast";
        QTest::newRow("unused style 3") << 3 << "15 minutes";
        QTest::newRow("exception logging") << 128 << "15 minutes";
        QTest::newRow("logarithmic with exceptions") << 129 << "Logarithmic";
        QTest::newRow("fast with exceptions") << 130 << "Fast";
    }
    void schedule()
    {
        QFETCH(int, style);
        QFETCH(QString, text);
        LoggerSettings settings = DefaultRecord(3, 2);
        settings.SampleInterval = "15 minutes";
        settings.LoggingStyle = uint8_t(style);
        QCOMPARE(BuildSettingsSummary(settings).SampleIntervalText, text);
    }

    void alarmTimes_data()
    {
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<int>("second");
        QTest::addColumn<QString>("text");
        QTest::newRow("midnight") << 0 << 0 << 30 << "12:00:30 AM";
        QTest::newRow("morning") << 9 << 5 << 0 << "9:05:00 AM";
        QTest::newRow("before noon") << 11 << 59 << 59 << "11:59:59 AM";
        QTest::newRow("noon") << 12 << 0 << 0 << "12:00:00 PM";
        QTest::newRow("one pm") << 13 << 1 << 2 << "1:01:02 PM";
        QTest::newRow("evening") << 23 << 5 << 0 << "11:05:00 PM";
    }
    void alarmTimes()
    {
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(int, second);
        QFETCH(QString, text);
        LoggerSettings settings = DefaultRecord(3, 2);
        settings.AlarmHour[1] = int16_t(hour);
        settings.AlarmMin[1] = int16_t(minute);
        settings.AlarmSec[1] = int16_t(second);
        settings.AlarmEnable[1] = 1;
        const SettingsSummary summary = BuildSettingsSummary(settings);
        QCOMPARE(summary.AlarmText[1], text);
        QCOMPARE(summary.AlarmEnabled[1], true);
        QCOMPARE(summary.AlarmEnabled[0], false);
    }

    void channelCountLimitsTheColumns()
    {
        QCOMPARE(BuildSettingsSummary(DefaultRecord(1, 0)).Channels.size(), size_t(1));
        QCOMPARE(BuildSettingsSummary(DefaultRecord(8, 0)).Channels.size(), size_t(8));
        LoggerSettings odd = DefaultRecord(8, 0);
        odd.NumAnalogChannels = 200;
        QCOMPARE(BuildSettingsSummary(odd).Channels.size(), size_t(8));
    }
};

BREVEL_TEST(SettingsSummaryTest)
#include "tst_settingssummary.moc"
