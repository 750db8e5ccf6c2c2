#include "TestRegistry.h"
#include "setup/EditorTexts.h"
#include "setup/FieldChecks.h"

#include <QTest>
#include <functional>
#include <map>

Q_DECLARE_METATYPE(PromptIcon)

namespace {

const std::map<QString, std::function<FieldCheck(const QString&)>>& Checks()
{
    static const std::map<QString, std::function<FieldCheck(const QString&)>> checks{
        {"name", CheckLoggerName},
        {"alarm", CheckAlarmTime},
        {"warmup", CheckWarmup},
        {"baud", CheckBaudRate},
        {"unit1", CheckFirstChannelUnit},
        {"unit", CheckUnitName},
        {"number", CheckStoredNumber},
        {"raw", CheckRawCount},
        {"precision", CheckPrecision},
        {"interval", CheckSampleInterval},
        {"exception", CheckExceptionLevel},
        {"roughness", CheckRoughness},
        {"cal1", [](const QString& t) { return CheckCalibrationValue(1, t); }},
        {"cal2", [](const QString& t) { return CheckCalibrationValue(2, t); }},
    };
    return checks;
}

} // namespace

class FieldChecksTest : public QObject {
    Q_OBJECT
private slots:
    void checks_data()
    {
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("shown");   // text afterwards; "-" when left alone
        QTest::addColumn<int>("selected");    // list item selected; -1 for none
        QTest::addColumn<QString>("message"); // "title|text", "" for none

        const QString hour = "Format Error|Alarm hour must be between 1 and 12";
        const QString minute = "Format Error|Alarm minute must be between 0 and 59";
        const QString second = "Format Error|Alarm second must be between 0 and 59";
        const QString badUnit = "Bad Unit|The first analog channel must be feet, inches, meters or cm.";
        const QString interval = "Format Error|Error: sample interval must be between 1 and 65535.";
        const QString exception = "Format Error|Error: exception level must be between 0 and 65535.";
        const QString roughness = "Illegal Value|The roughness value must be greater than zero!";
        const QString floating = "Bad Number|Value must be a floating point number in the range -999999 to 999999!";
        const QString integer = "Bad Number|Value must be an integer between 0 and 65535!";

        QTest::newRow("name trimmed") << "name" << "  Pump 2 " << true << "Pump 2" << -1 << "";
        QTest::newRow("name cut to 32") << "name" << QString(40, 'x') << true << QString(32, 'x') << -1 << "";
        QTest::newRow("alarm hour only") << "alarm" << "9" << true << "9:00:00" << -1 << "";
        QTest::newRow("alarm minute padded") << "alarm" << "12:5" << true << "12:05:00" << -1 << "";
        QTest::newRow("alarm full") << "alarm" << "3:07:59" << true << "3:07:59" << -1 << "";
        QTest::newRow("alarm hour rounds to even") << "alarm" << "2.5" << true << "2:00:00" << -1 << "";
        QTest::newRow("alarm hour 13") << "alarm" << "13" << false << "-" << -1 << hour;
        QTest::newRow("alarm hour 0") << "alarm" << "0" << false << "-" << -1 << hour;
        QTest::newRow("alarm not a time") << "alarm" << "noon" << false << "-" << -1 << hour;
        QTest::newRow("alarm hour 1") << "alarm" << "1" << true << "1:00:00" << -1 << "";
        QTest::newRow("alarm second 59") << "alarm" << "10:00:59" << true << "10:00:59" << -1 << "";
        QTest::newRow("alarm minute 0") << "alarm" << "10:0" << true << "10:00:00" << -1 << "";
        QTest::newRow("alarm minute 59") << "alarm" << "10:59" << true << "10:59:00" << -1 << "";
        QTest::newRow("alarm minute 60") << "alarm" << "10:60" << false << "-" << -1 << minute;
        QTest::newRow("alarm minute -1") << "alarm" << "10:-1" << false << "-" << -1 << minute;
        QTest::newRow("alarm second 60") << "alarm" << "10:00:60" << false << "-" << -1 << second;
        QTest::newRow("warmup 75 selects 60") << "warmup" << "75" << true << "-" << 60 << "";
        QTest::newRow("warmup 5") << "warmup" << " 5 " << true << "-" << 5 << "";
        QTest::newRow("warmup negative") << "warmup" << "-1" << false << "-" << -1 << "";
        QTest::newRow("warmup not a number") << "warmup" << "soon" << false << "-" << -1 << "";
        QTest::newRow("baud item in other case") << "baud" << " fixed 9600 " << true << "Fixed 9600" << 1 << "";
        QTest::newRow("baud rate alone") << "baud" << "115200" << true << "Fixed 115200" << 6 << "";
        QTest::newRow("baud auto") << "baud" << "Auto Baud Rate" << true << "Auto Baud Rate" << 0 << "";
        QTest::newRow("baud not listed") << "baud" << "Fixed 1234" << false << "-" << -1
                                         << "Format Error|Error: baud rate must be one of the listed choices.";
        QTest::newRow("unit1 meters with blanks") << "unit1" << "  Meters " << true << "Meters" << 2 << "";
        QTest::newRow("unit1 capitals") << "unit1" << "FEET " << true << "Feet" << 0 << "";
        QTest::newRow("unit1 volts") << "unit1" << "Volts" << false << "-" << -1 << badUnit;
        QTest::newRow("unit cut to 9") << "unit" << " Gallons/min " << true << "Gallons/m" << -1 << "";
        QTest::newRow("number above range") << "number" << "1234567" << true << "999999" << -1 << "";
        QTest::newRow("number below range") << "number" << "-1000000" << true << "-999999" << -1 << "";
        QTest::newRow("number six digits") << "number" << "0.1234567" << true << "0.123457" << -1 << "";
        QTest::newRow("number exponent") << "number" << "2.5e2" << true << "250" << -1 << "";
        QTest::newRow("number not numeric") << "number" << "12abc" << false << "-" << -1 << "";
        QTest::newRow("number comma") << "number" << "1,5" << false << "-" << -1 << "";
        QTest::newRow("raw above range") << "raw" << "70000" << true << "65535" << -1 << "";
        QTest::newRow("raw ties to even") << "raw" << "12.5" << true << "12" << -1 << "";
        QTest::newRow("raw negative") << "raw" << "-3" << false << "-" << -1 << "";
        QTest::newRow("precision 9 selects 6") << "precision" << "9" << true << "-" << 6 << "";
        QTest::newRow("precision 2") << "precision" << "2" << true << "-" << 2 << "";
        QTest::newRow("precision word") << "precision" << "two" << false << "-" << -1 << "";
        QTest::newRow("interval 15") << "interval" << " 15" << true << "15" << -1 << "";
        QTest::newRow("interval 65535") << "interval" << "65535" << true << "65535" << -1 << "";
        QTest::newRow("interval 0") << "interval" << "0" << false << "-" << -1 << interval;
        QTest::newRow("interval 65536") << "interval" << "65536" << false << "-" << -1 << interval;
        QTest::newRow("exception 0") << "exception" << "0" << true << "0" << -1 << "";
        QTest::newRow("exception 65536") << "exception" << "65536" << false << "-" << -1 << exception;
        QTest::newRow("exception text") << "exception" << "x" << false << "-" << -1 << exception;
        QTest::newRow("roughness list item") << "roughness" << "0.013 - Finished concrete" << true << "0.013" << -1
                                             << "";
        QTest::newRow("roughness rounded") << "roughness" << "0.01234567" << true << "0.0123457" << -1 << "";
        QTest::newRow("roughness zero") << "roughness" << "0" << false << "0" << -1 << roughness;
        QTest::newRow("roughness negative") << "roughness" << "-0.5" << false << "-0.5" << -1 << roughness;
        QTest::newRow("roughness too small to store") << "roughness" << "0.00000001" << false << "0" << -1
                                                      << roughness;
        QTest::newRow("roughness word") << "roughness" << "smooth" << false << "-" << -1 << "";
        QTest::newRow("calibration value six digits") << "cal1" << "12.3456789" << true << "12.3457" << -1 << "";
        QTest::newRow("calibration value 1000000") << "cal1" << "1000000" << false << "-" << -1 << floating;
        QTest::newRow("calibration value word") << "cal1" << "high" << false << "-" << -1 << floating;
        QTest::newRow("calibration raw 65535") << "cal2" << "65535" << true << "65535" << -1 << "";
        QTest::newRow("calibration raw 65536") << "cal2" << "65536" << false << "-" << -1 << integer;
        QTest::newRow("calibration raw -1") << "cal2" << "-1" << false << "-" << -1 << integer;
    }
    void checks()
    {
        QFETCH(QString, check);
        QFETCH(QString, input);
        QFETCH(bool, accepted);
        QFETCH(QString, shown);
        QFETCH(int, selected);
        QFETCH(QString, message);

        const FieldCheck result = Checks().at(check)(input);
        QCOMPARE(result.Accepted, accepted);
        QCOMPARE(result.NewText.value_or("-"), shown);
        QCOMPARE(result.SelectIndex, selected);
        const QString got = result.Message ? result.Message->Title + "|" + result.Message->Text : QString();
        QCOMPARE(got, message);
    }

    void messageIcons()
    {
        QCOMPARE(CheckAlarmTime("0").Message->Icon, PromptIcon::Error);
        QCOMPARE(CheckRoughness("0").Message->Icon, PromptIcon::Error);
        QCOMPARE(CheckCalibrationValue(3, "x").Message->Icon, PromptIcon::Warning);
        QCOMPARE(CheckCalibrationValue(4, "x").Message->Icon, PromptIcon::Warning);
    }

    void alarmsReadBack_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("half");
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<int>("second");
        QTest::newRow("12 A.M. is midnight") << "12:30:00" << 0 << 0 << 30 << 0;
        QTest::newRow("12 P.M. is noon") << "12:30:00" << 1 << 12 << 30 << 0;
        QTest::newRow("7 P.M.") << "7" << 1 << 19 << 0 << 0;
        QTest::newRow("minute without padding") << "7:5" << 0 << 7 << 5 << 0;
        QTest::newRow("19 P.M. stays") << "19" << 1 << 19 << 0 << 0;
        QTest::newRow("0:15 P.M.") << "0:15" << 1 << 12 << 15 << 0;
        QTest::newRow("no half selected") << "12:00:09" << -1 << 12 << 0 << 9;
    }
    void alarmsReadBack()
    {
        QFETCH(QString, text);
        QFETCH(int, half);
        const AlarmTime time = ReadAlarmTime(text, half);
        QTEST(int(time.Hour), "hour");
        QTEST(int(time.Min), "minute");
        QTEST(int(time.Sec), "second");
    }

    void composedIntervals()
    {
        QCOMPARE(ComposeInterval("15", "minutes"), QString("15 minutes"));
        QCOMPARE(ComposeInterval("1", "days"), QString("1 day"));
        QCOMPARE(ComposeInterval(" 1x", "seconds"), QString("1 second"));
    }
};

BREVEL_TEST(FieldChecksTest)
#include "tst_fieldchecks.moc"
