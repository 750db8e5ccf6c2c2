#include "SettingsDescription.h"
#include "TestRegistry.h"
#include "config/DefaultSettings.h"
#include "config/SettingsImage.h"
#include "config/SetupFile.h"
#include "flow/Rating.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

const SetupFileStamp Stamp{"BrevelLogger", "2.3.2", "12/31/26", "23:59:58"};

// A record unlike the defaults in every kind of field.
LoggerSettings EditedSettings()
{
    LoggerSettings s = DefaultRecord();
    s.LoggerName = "Pump 2";
    s.SampleInterval = "15 minutes";
    s.DataWrapAroundFlag = 0;
    s.SensorWarmupTime = 45;
    s.LoggingStyle = 129;
    s.Deadband = 250;
    s.EnableSOD = 1;
    s.FixedBaudRate = 6;
    s.AnalogEnable[1] = 0;
    s.EngUnits[1] = QString::fromLatin1("\xB0" "C");
    s.DecPlaces[0] = 3;
    s.RawScaleLower[0] = 1200;
    s.RawScaleUpper[0] = 60000;
    s.LowerLimit[0] = -0.5;
    s.UpperLimit[0] = 12.345678901234567;
    s.DisplayTop[0] = 1e-7;
    s.DisplayBottom[0] = -2.5e6;
    s.DigitalEnable[1] = 0;
    s.EngUnits[9] = "Litres";
    s.DecPlaces[9] = 1;
    s.PulseUnit[0] = 0.25;
    s.AlarmEnable = {1, 0};
    s.AlarmHour = {23, 12};
    s.AlarmMin = {5, 30};
    s.AlarmSec = {0, 59};
    s.FlowMode = 3;
    s.FlowUnits = 2;
    s.FlowTop = 1.5;
    s.VelUnits = 1;
    s.VelTop = 3.25;
    s.ManningsN = 0.013;
    s.ManningsS = 0.002;
    s.ManningsSType = 0;
    s.ManningsD = 18;
    s.ManningsDType = 1;
    s.FlumeTag = "PF2";
    s.WeirTag = "V90";
    s.LevelOffset = -1.25;
    s.LevelOffsetType = 3;
    s.TablePath = "C:\\Flow Tables\\creek.tbl";
    return s;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

const char* const DefaultsFile = R"(Program=BrevelLogger
Version=2.3.2
Date=12/31/26
Time=23:59:58
LoggerName=Brevel Logger
SampleInterval=1 day
NumAnalogChannels=3
NumDigitalChannels=2
DataWrapAroundFlag=1
SensorWarmupTime=3
LoggingStyle=0
Deadband=0
EnableSOD=0
FixedBaudRate=0
[Analog Channel]
Channel=0
Enable=1
EngUnits=Feet
DecPlaces=2
RawScaleLower=0
RawScaleUpper=65535
LowerLimit=0
UpperLimit=100
DisplayTop=100
DisplayBottom=0
[Analog Channel]
Channel=1
Enable=1
EngUnits=Temp C
DecPlaces=2
RawScaleLower=0
RawScaleUpper=65535
LowerLimit=0
UpperLimit=100
DisplayTop=100
DisplayBottom=0
[Analog Channel]
Channel=2
Enable=1
EngUnits=Volts
DecPlaces=2
RawScaleLower=0
RawScaleUpper=62384
LowerLimit=0
UpperLimit=24
DisplayTop=24
DisplayBottom=0
)";

const char* const DefaultsFileTail = R"([Digital Channel]
Channel=0
Enable=1
EngUnits=Pulses
DecPlaces=0
PulseUnit=1
[Digital Channel]
Channel=1
Enable=1
EngUnits=Pulses
DecPlaces=0
PulseUnit=1
[Alarm]
Channel=0
Enable=0
AlarmSec=0
AlarmMin=0
AlarmHour=0
[Alarm]
Channel=1
Enable=0
AlarmSec=0
AlarmMin=0
AlarmHour=0
FlowMode=1
FlowUnits=0
FlowTop=100
VelUnits=0
VelTop=100
ManningsN=0.014
ManningsS=1
ManningsSType=1
ManningsD=1
ManningsDType=0
FlumeTag=
WeirTag=
LevelOffset=0
LevelOffsetType=1
TablePath=
)";

QString PercentChannelBlock(int channel)
{
    return QStringLiteral("[Analog Channel]\nChannel=%1\nEnable=1\nEngUnits=%\nDecPlaces=2\nRawScaleLower=0\n"
                          "RawScaleUpper=65535\nLowerLimit=0\nUpperLimit=100\nDisplayTop=100\nDisplayBottom=0\n")
        .arg(channel);
}

} // namespace

class SetupFileTest : public QObject {
    Q_OBJECT
private slots:
    void writesTheDefaultsLineByLine()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath("defaults.set");
        QVERIFY(WriteSetupFile(path, DefaultRecord(), Stamp, true));
        QString expected = QString::fromLatin1(DefaultsFile);
        for (int c = 3; c < 8; ++c) {
            expected += PercentChannelBlock(c);
        }
        expected += QString::fromLatin1(DefaultsFileTail);
        expected.replace(u'\n', QStringLiteral("\r\n"));
        const QByteArray written = ReadAll(path);
        QCOMPARE(QString::fromLatin1(written), expected);
        QCOMPARE(written.count("\r\n"), 141);
    }

    void writesTextInLatin1AndNumbersInGeneralForm()
    {
        const QStringList lines = SetupFileLines(EditedSettings(), Stamp);
        QCOMPARE(lines.size(), 141);
        QVERIFY(lines.contains(QString::fromLatin1("EngUnits=\xB0" "C")));
        QVERIFY(lines.contains("UpperLimit=12.3456789012346"));
        QVERIFY(lines.contains("DisplayTop=1E-07"));
        QVERIFY(lines.contains("DisplayBottom=-2500000"));
        QVERIFY(lines.contains("LoggingStyle=129"));
        QVERIFY(lines.contains("TablePath=C:\\Flow Tables\\creek.tbl"));
        QTemporaryDir folder;
        const QString path = folder.filePath("edited.set");
        QVERIFY(WriteSetupFile(path, EditedSettings(), Stamp, true));
        QVERIFY(ReadAll(path).contains("\r\nEngUnits=\xB0" "C\r\n"));
    }

    // Save, load, save again: the same file but for the date and time lines,
    // and the same image but for the channel counts, which are not read back.
    void saveLoadSaveGivesTheSameFile()
    {
        QTemporaryDir folder;
        const QString first = folder.filePath("first.set");
        const QString second = folder.filePath("second.set");
        const LoggerSettings original = EditedSettings();
        QVERIFY(WriteSetupFile(first, original, Stamp, true));

        LoggerSettings loaded;
        loaded.NumAnalogChannels = 8;
        loaded.NumDigitalChannels = 1;
        RatingState rating;
        rating.FlowTable.assign(6, RatingPoint{1.0, 1.0});
        QVERIFY(ReadSetupFile(first, loaded, rating, true));
        QCOMPARE(rating.FlowTable.size(), size_t(2));
        QCOMPARE(loaded.NumAnalogChannels, uint8_t(8));
        QCOMPARE(loaded.NumDigitalChannels, uint8_t(1));

        const SetupFileStamp later{"BrevelLogger", "2.3.2", "1/1/27", "00:00:01"};
        QVERIFY(WriteSetupFile(second, loaded, later, true));
        QStringList firstLines = QString::fromLatin1(ReadAll(first)).split("\r\n");
        QStringList secondLines = QString::fromLatin1(ReadAll(second)).split("\r\n");
        QCOMPARE(secondLines[2], QString("Date=1/1/27"));
        QCOMPARE(secondLines[3], QString("Time=00:00:01"));
        QCOMPARE(secondLines[6], QString("NumAnalogChannels=8"));
        for (const int line : {2, 3, 6, 7}) {
            firstLines[line].clear();
            secondLines[line].clear();
        }
        QCOMPARE(secondLines, firstLines);

        LoggerSettings expected = original;
        expected.UpperLimit[0] = 12.3456789012346; // numbers pass through 15-digit text
        expected.NumAnalogChannels = 8;
        expected.NumDigitalChannels = 1;
        QCOMPARE(SettingsDifferences(loaded, expected), QString());
    }

    // Hand-written files: each loads on top of the defaults.
    void loadsHandWrittenFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("one line") << QByteArray("LoggerName=Pump 2\r\n") << QStringList{R"(LoggerName="Pump 2")"};
        QTest::newRow("blanks around the value") << QByteArray("LoggerName=  Pump 2  \r\n")
                                                 << QStringList{R"(LoggerName="Pump 2")"};
        QTest::newRow("blank before the equals sign") << QByteArray("LoggerName =Pump 2\r\n")
                                                      << QStringList{R"(LoggerName="Brevel Logger")"};
        QTest::newRow("equals sign in the value") << QByteArray("WeirTag=a=b\r\n") << QStringList{R"(WeirTag="a=b")"};
        QTest::newRow("later line wins") << QByteArray("LoggerName=A\r\nLoggerName=B\r\n")
                                         << QStringList{R"(LoggerName="B")"};
        QTest::newRow("keys are case-sensitive") << QByteArray("loggername=x\r\n")
                                                 << QStringList{R"(LoggerName="Brevel Logger")"};
        QTest::newRow("short keys, blank and odd lines ignored")
            << QByteArray("=x\r\nA=1\r\n\r\nno equals sign\r\nNumAnalogChannels=8\r\nProgram=Other\r\n")
            << QStringList{"NumAnalogChannels=3", R"(LoggerName="Brevel Logger")"};
        QTest::newRow("line feeds alone") << QByteArray("LoggerName=LF\nDeadband=-5\n")
                                          << QStringList{R"(LoggerName="LF")", "Deadband=-5"};
        QTest::newRow("comma in a number") << QByteArray("FlowTop=1,5\r\n") << QStringList{"FlowTop=1.5"};
        QTest::newRow("text for a number") << QByteArray("FlowTop=abc\r\n") << QStringList{"FlowTop=0"};
        QTest::newRow("bytes rounded to even") << QByteArray("LoggingStyle=2.5\r\nFlowMode= 3.5 \r\n")
                                               << QStringList{"LoggingStyle=2", "FlowMode=4"};
        QTest::newRow("unit of channel 9 from an analog section")
            << QByteArray("[Analog Channel]\r\nChannel=9\r\nEngUnits=Gal\r\nDecPlaces=5\r\n")
            << QStringList{R"(EngUnits[9]="Gal")", "DecPlaces[9]=5"};
        QTest::newRow("pulse channel") << QByteArray("[Digital Channel]\r\nChannel=1\r\nEnable=0\r\nEngUnits=Litres\r\n"
                                                     "DecPlaces=3\r\nPulseUnit=0.25\r\n")
                                       << QStringList{"DigitalEnable[1]=0", R"(EngUnits[9]="Litres")", "DecPlaces[9]=3",
                                                      "PulseUnit[1]=0.25", R"(EngUnits[1]="Temp C")"};
        QTest::newRow("negative channel reaches the analog units from a digital section")
            << QByteArray("[Digital Channel]\r\nChannel=-1\r\nEngUnits=mm\r\n") << QStringList{R"(EngUnits[7]="mm")"};
        QTest::newRow("alarm") << QByteArray("[Alarm]\r\nChannel=1\r\nEnable=1\r\nAlarmHour=23\r\nAlarmMin=5\r\n")
                               << QStringList{"AlarmEnable[1]=1", "AlarmHour[1]=23", "AlarmMin[1]=5", "AlarmEnable[0]=0"};
        QTest::newRow("decimals in an alarm section ignored")
            << QByteArray("[Alarm]\r\nChannel=0\r\nDecPlaces=4\r\nEngUnits=x\r\n")
            << QStringList{"DecPlaces[0]=2", R"(EngUnits[0]="Feet")"};
        QTest::newRow("units before any section ignored") << QByteArray("EngUnits=ft\r\nEnable=0\r\n")
                                                          << QStringList{R"(EngUnits[0]="Feet")", "AnalogEnable[0]=1"};
        QTest::newRow("unknown section ends the last")
            << QByteArray("[Analog Channel]\r\n[Notes]\r\nEnable=0\r\n") << QStringList{"AnalogEnable[0]=1"};
        QTest::newRow("section names by their first letters")
            << QByteArray("[Analogue]\r\nChannel=2\r\nEnable=0\r\n") << QStringList{"AnalogEnable[2]=0"};
        QTest::newRow("channel-indexed keys in any section")
            << QByteArray("Channel=4\r\nRawScaleUpper=1000\r\nDisplayTop=7,5\r\nChannel=1\r\nAlarmSec=30\r\n")
            << QStringList{"RawScaleUpper[4]=1000", "DisplayTop[4]=7.5", "AlarmSec[1]=30"};
        QTest::newRow("the last channel line counts")
            << QByteArray("[Analog Channel]\r\nChannel=0\r\nChannel=5\r\nEngUnits=cm\r\n")
            << QStringList{R"(EngUnits[5]="cm")", R"(EngUnits[0]="Feet")"};
    }
    void loadsHandWrittenFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, expected);
        QTemporaryDir folder;
        const QString path = folder.filePath("hand.set");
        WriteAll(path, file);
        LoggerSettings settings = EditedSettings();
        RatingState rating;
        QVERIFY(ReadSetupFile(path, settings, rating, true));
        const QMap<QString, QString> fields = DescribeSettings(settings);
        const QMap<QString, QString> defaults = DescribeSettings(DefaultRecord());
        QStringList named;
        for (const QString& field : expected) {
            const QString name = field.section(u'=', 0, 0);
            named << name;
            QCOMPARE(name + u'=' + fields.value(name), field);
        }
        // Everything else keeps its default.
        for (auto it = defaults.cbegin(); it != defaults.cend(); ++it) {
            if (!named.contains(it.key()) && !QString(file).contains(it.key().section(u'[', 0, 0))) {
                QCOMPARE(it.key() + u'=' + fields.value(it.key()), it.key() + u'=' + it.value());
            }
        }
    }

    void refusesFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("analog channel 9") << QByteArray("Channel=9\r\nRawScaleLower=5\r\n");
        QTest::newRow("pulse channel 2") << QByteArray("[Digital Channel]\r\nChannel=2\r\nEnable=1\r\n");
        QTest::newRow("pulse channel 2 units") << QByteArray("[Digital Channel]\r\nChannel=2\r\nEngUnits=x\r\n");
        QTest::newRow("negative channel") << QByteArray("[Analog Channel]\r\nChannel=-1\r\nEnable=1\r\n");
        QTest::newRow("alarm 2") << QByteArray("Channel=2\r\nAlarmHour=1\r\n");
        QTest::newRow("pulse unit 2") << QByteArray("Channel=2\r\nPulseUnit=1\r\n");
        QTest::newRow("text for a byte") << QByteArray("LoggingStyle=abc\r\n");
        QTest::newRow("byte too large") << QByteArray("SensorWarmupTime=256\r\n");
        QTest::newRow("empty byte") << QByteArray("FlowMode=\r\n");
        QTest::newRow("channel beyond 16 bits") << QByteArray("Channel=40000\r\n");
        QTest::newRow("deadband beyond 32 bits") << QByteArray("Deadband=3000000000\r\n");
        QTest::newRow("alarm beyond 16 bits") << QByteArray("AlarmMin=32768\r\n");
        QTest::newRow("after good lines") << QByteArray("LoggerName=Half\r\nFixedBaudRate=x\r\n");
    }
    void refusesFiles()
    {
        QFETCH(QByteArray, file);
        QTemporaryDir folder;
        const QString path = folder.filePath("bad.set");
        WriteAll(path, file);
        LoggerSettings settings = EditedSettings();
        RatingState rating;
        rating.FlowTable.assign(5, RatingPoint{});
        QVERIFY(!ReadSetupFile(path, settings, rating, true));
        QCOMPARE(SettingsDifferences(settings, EditedSettings()), QString());
        QCOMPARE(rating.FlowTable.size(), size_t(5));
    }

    void refusesAMissingFile()
    {
        LoggerSettings settings = EditedSettings();
        RatingState rating;
        QVERIFY(!ReadSetupFile(QTemporaryDir().filePath("none.set"), settings, rating, true));
        QCOMPARE(SettingsDifferences(settings, EditedSettings()), QString());
    }

    void failedSaveKeepsTheEarlierFile()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath("kept.set");
        QVERIFY(WriteSetupFile(path, DefaultRecord(), Stamp, true));
        const QByteArray before = ReadAll(path);

        LoggerSettings unwritable = EditedSettings();
        unwritable.LoggerName = QString::fromUtf8("Tank \u20AC");
        QVERIFY(!WriteSetupFile(path, unwritable, Stamp, true));
        QCOMPARE(ReadAll(path), before);
        QVERIFY(!WriteSetupFile(folder.filePath("no folder/x.set"), EditedSettings(), Stamp, true));

#ifdef Q_OS_UNIX
        // A disk that fills up halfway: the process may write no more than 200 bytes a file.
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 200;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool written = WriteSetupFile(path, EditedSettings(), Stamp, true);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!written);
        QCOMPARE(ReadAll(path), before);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"kept.set"});
#endif
    }
};

BREVEL_TEST(SetupFileTest)
#include "tst_setupfile.moc"
