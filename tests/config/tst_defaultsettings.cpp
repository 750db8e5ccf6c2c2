#include "SettingsDescription.h"
#include "TestRegistry.h"
#include "config/DefaultSettings.h"
#include "flow/Rating.h"

#include <QTest>

class DefaultSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void channelUnitsDependOnTheChannelCount_data()
    {
        QTest::addColumn<int>("channels");
        QTest::addColumn<QStringList>("units");
        QTest::newRow("one") << 1 << QStringList{"Feet", "Temp C", "%", "%", "%", "%", "%", "%"};
        QTest::newRow("two: the last channel wins") << 2 << QStringList{"Feet", "Volts", "%", "%", "%", "%", "%", "%"};
        QTest::newRow("three") << 3 << QStringList{"Feet", "Temp C", "Volts", "%", "%", "%", "%", "%"};
        QTest::newRow("eight") << 8 << QStringList{"Feet", "Temp C", "%", "%", "%", "%", "%", "Volts"};
    }
    void channelUnitsDependOnTheChannelCount()
    {
        QFETCH(int, channels);
        QFETCH(QStringList, units);
        LoggerSettings settings;
        settings.NumAnalogChannels = uint8_t(channels);
        RatingState rating;
        ApplyDefaultSettings(settings, rating);
        for (int c = 0; c < 8; ++c) {
            const bool volts = units[c] == "Volts";
            QCOMPARE(settings.EngUnits[c], units[c]);
            QCOMPARE(settings.RawScaleLower[c], 0);
            QCOMPARE(settings.RawScaleUpper[c], volts ? 62384 : 65535);
            QCOMPARE(settings.LowerLimit[c], 0.0);
            QCOMPARE(settings.UpperLimit[c], volts ? 24.0 : 100.0);
            QCOMPARE(settings.DisplayBottom[c], 0.0);
            QCOMPARE(settings.DisplayTop[c], volts ? 24.0 : 100.0);
            QCOMPARE(settings.DecPlaces[c], uint8_t(2));
            QCOMPARE(settings.AnalogEnable[c], uint8_t(1));
        }
    }

    // Every field but the channel counts and the capability is overwritten.
    void overwritesEverythingButTheLoggersOwnCounts()
    {
        LoggerSettings fresh;
        fresh.NumAnalogChannels = 3;
        fresh.NumDigitalChannels = 1;
        fresh.SodSupported = true;
        LoggerSettings used = fresh;
        used.LoggerName = "Tank 3";
        used.SampleInterval = "15 minutes";
        used.AlarmEnable = {1, 1};
        used.AlarmHour = {6, 18};
        used.DigitalEnable = {0, 0};
        used.EngUnits[8] = "Litres";
        used.DecPlaces[9] = 4;
        used.PulseUnit = {0.5, 2.0};
        used.LoggingStyle = 129;
        used.Deadband = 40;
        used.EnableSOD = 1;
        used.FlowMode = 3;
        used.WeirTag = "V90";
        used.TablePath = "C:\\flow.tbl";
        used.VelUnits = 1;
        used.ManningsDType = 3;
        RatingState rating;
        rating.FlowTable.assign(7, RatingPoint{1.0, 2.0});
        ApplyDefaultSettings(fresh, rating);
        ApplyDefaultSettings(used, rating);
        QCOMPARE(SettingsDifferences(used, fresh), QString());
        QCOMPARE(rating.FlowTable.size(), size_t(2));
        QCOMPARE(rating.FlowTable[1].Flow, 0.0);

        const QMap<QString, QString> fields = DescribeSettings(fresh);
        const QStringList expected{
            R"(LoggerName="Brevel Logger")", R"(SampleInterval="1 day")", "NumAnalogChannels=3",
            "NumDigitalChannels=1", "SodSupported=1", "DataWrapAroundFlag=1", "FixedBaudRate=0",
            "SensorWarmupTime=3", "AlarmEnable[1]=0", "AlarmHour[1]=0", "AlarmMin[0]=0", "AlarmSec[1]=0",
            "DigitalEnable[0]=1", "DigitalEnable[1]=1", R"(EngUnits[8]="Pulses")", R"(EngUnits[9]="Pulses")",
            "DecPlaces[8]=0", "DecPlaces[9]=0", "PulseUnit[0]=1", "PulseUnit[1]=1", "LoggingStyle=0", "Deadband=0",
            "EnableSOD=0", "FlowMode=1", "ManningsN=0.014", "ManningsS=1", "ManningsSType=1", "ManningsD=1",
            "ManningsDType=0", "LevelOffset=0", "LevelOffsetType=1", "FlowUnits=0", "FlowTop=100", "VelUnits=0",
            "VelTop=100", R"(FlumeTag="")", R"(WeirTag="")", R"(TablePath="")"};
        for (const QString& field : expected) {
            const QString name = field.section(u'=', 0, 0);
            QCOMPARE(name + u'=' + fields.value(name), field);
        }
    }
};

BREVEL_TEST(DefaultSettingsTest)
#include "tst_defaultsettings.moc"
