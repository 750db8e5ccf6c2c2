#include "SettingsDescription.h"
#include "TestRegistry.h"
#include "config/SettingsSummary.h"

#include <QTest>
#include <QTime>

class SettingsSummaryTest : public QObject {
    Q_OBJECT
private slots:
    // Defaults for these channel counts, a logging style, alarm 2's time, channel 1 on or off; then meter columns 1-4
    // (-1..9 at 4.5 before): a hidden channel's loses range and value, those past the logger's channels are others'.
    void summaryOfTheDefaults_data()
    {
        QTest::addColumn<int>("analog");
        QTest::addColumn<int>("pulse");
        QTest::addColumn<int>("style");
        QTest::addColumn<QTime>("alarm");
        QTest::addColumn<bool>("channel1");
        QTest::addColumn<QString>("summary");
        QTest::newRow("2 + 1, logarithmic with exceptions") << 2 << 1 << 129 << QTime(12, 0, 0) << true
            << "Logarithmic | 3 sec | 12:00:00 AM off | 12:00:00 PM on | pulses on off | "
               "0.00-100.00 Feet | 0.00-24.00 Volts | 1 0..100 4.5, 1 0..24 4.5, 1 -1..9 4.5, 1 -1..9 4.5";
        // Without pulse channels the second frame keeps whatever it showed.
        QTest::newRow("1 + 0, fast with exceptions") << 1 << 0 << 130 << QTime(11, 59, 58) << true
            << "Fast | 3 sec | 12:00:00 AM off | 11:59:58 AM on | pulses off kept | 0.00-100.00 Feet | "
               "1 0..100 4.5, 1 -1..9 4.5, 1 -1..9 4.5, 1 -1..9 4.5";
        QTest::newRow("8 + 2, unused style 3, channel 1 off") << 8 << 2 << 3 << QTime(23, 5, 0) << false
            << "1 day | 3 sec | 12:00:00 AM off | 11:05:00 PM on | pulses on on | 0.00-100.00 Feet | hidden - "
               " | 0.00-100.00 % | 0.00-100.00 % | 0.00-100.00 % | 0.00-100.00 % | "
               "0.00-100.00 % | 0.00-24.00 Volts | 1 0..100 4.5, 0 0..0 0, 1 0..100 4.5, 1 0..100 4.5";
    }
    void summaryOfTheDefaults()
    {
        QFETCH(int, analog);
        QFETCH(int, pulse);
        QFETCH(int, style);
        QFETCH(QTime, alarm);
        QFETCH(bool, channel1);
        LoggerSettings settings = DefaultRecord(analog, pulse);
        settings.LoggingStyle = uint8_t(style);
        settings.AnalogEnable[1] = channel1;
        settings.DigitalEnable = {0, 0}; // plays no part
        settings.AlarmEnable[1] = 1;
        settings.AlarmHour[1] = int16_t(alarm.hour());
        settings.AlarmMin[1] = int16_t(alarm.minute());
        settings.AlarmSec[1] = int16_t(alarm.second());
        const SettingsSummary s = BuildSettingsSummary(settings);
        const auto on = [](bool enabled) { return enabled ? "on" : "off"; };
        QStringList parts{s.SampleIntervalText, s.WarmupText, s.AlarmText[0] + u' ' + on(s.AlarmEnabled[0]),
                          s.AlarmText[1] + u' ' + on(s.AlarmEnabled[1]),
                          QStringLiteral("pulses ") + on(s.Pulse1Enabled) + u' ' +
                              (s.Pulse2Enabled ? on(*s.Pulse2Enabled) : "kept")};
        for (const SettingsSummary::Channel& c : s.Channels) {
            parts << (c.Shown ? "" : "hidden ") + c.MinText + u'-' + c.MaxText + u' ' + c.UnitsText;
        }
        std::array<MeterColumn, 8> columns{};
        columns.fill(MeterColumn{true, true, -1.0, 9.0, 4.5, "x", 77});
        ApplySummaryToColumns(s, columns);
        QStringList shown;
        for (const MeterColumn& m : std::span(columns).first(4)) {
            shown << QStringLiteral("%1 %2..%3 %4").arg(int(m.Shown)).arg(m.Minimum).arg(m.Maximum).arg(m.Value);
        }
        QTEST(parts.join(QStringLiteral(" | ")) + " | " + shown.join(", "), "summary");
    }
};

BREVEL_TEST(SettingsSummaryTest)
#include "tst_settingssummary.moc"
