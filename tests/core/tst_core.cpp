#include "PackTime.h"
#include "ScratchFolder.h"
#include "TestRegistry.h"
#include "core/DataFolder.h"
#include "core/DateText.h"
#include "core/ErrorTrap.h"
#include "core/NumberText.h"
#include "core/SampleRecord.h"

#include <QLocale>
#include <QTest>
#include <clocale>
#include <cmath>
#include <stdexcept>

// Every case runs under the C locale and under a decimal-comma one, where number texts keep the decimal point.
class CoreTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::newRow("C") << QStringLiteral("C");
        QTest::newRow("de_DE") << QStringLiteral("de_DE.UTF-8");
    }
    void init()
    {
        QFETCH_GLOBAL(QString, locale);
        if (!std::setlocale(LC_ALL, locale.toLatin1().constData())) {
            QSKIP("locale not installed (scripts/install-deps.sh generates de_DE.UTF-8)");
        }
        QLocale::setDefault(QLocale(locale.section(QLatin1Char('.'), 0, 0)));
    }
    void cleanup()
    {
        std::setlocale(LC_ALL, "C");
        QLocale::setDefault(QLocale::c());
    }

    void numberToText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("fixed");
        QTest::addColumn<QString>("general");
        QTest::newRow("tie down to even") << 2.5 << 0 << "2" << "2.5";
        QTest::newRow("more than six places count as six") << 1.0 / 3.0 << 9 << "0.333333" << "0.333333333333333";
        QTest::newRow("negative places count as none") << 7.6 << -3 << "8" << "7.6";
        QTest::newRow("two places padded") << 100.0 << 2 << "100.00" << "100";
        QTest::newRow("tie as written, not as stored") << 0.15 << 1 << "0.2" << "0.15";
        QTest::newRow("carry through nines") << 9.9996 << 3 << "10.000" << "9.9996";
        QTest::newRow("negative rounding to zero has no sign") << -0.0004 << 3 << "0.000" << "-0.0004";
        QTest::newRow("above half of the last place") << 0.0006 << 3 << "0.001" << "0.0006";
        QTest::newRow("half of the last place exactly") << 0.0005 << 3 << "0.000" << "0.0005";
        QTest::newRow("binary noise rounded away") << 0.1 + 0.2 << 1 << "0.3" << "0.3";
        QTest::newRow("largest plain") << 999999999999999.0 << 0 << "999999999999999" << "999999999999999";
        QTest::newRow("large in exponent form") << 1e15 << 0 << "1000000000000000" << "1E+15";
        QTest::newRow("small in exponent form") << 1.5e-7 << 6 << "0.000000" << "1.5E-07";
        QTest::newRow("negative zero") << -0.0 << 1 << "0.0" << "0";
    }
    void numberToText()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QTEST(FormatDecimals(value, static_cast<int16_t>(decimals)), "fixed");
        QTEST(NumberText(value), "general");
    }

    // NumberValue reads commas as points, LeadingNumber stops at one; ReadWholeNumber takes only whole numeric text.
    void textToNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("leading");
        QTest::addColumn<QString>("whole");
        QTest::newRow("blanks and trailing text") << "  -12.5 ft" << -12.5 << -12.5 << "";
        QTest::newRow("blanks around, tie to even up") << "  -7.5 " << -7.5 << -7.5 << "-8";
        QTest::newRow("exponent") << "1.5e3" << 1500.0 << 1500.0 << "1500";
        QTest::newRow("negative exponent, tie to even down") << "25E-1" << 2.5 << 2.5 << "2";
        QTest::newRow("exponent letter without digits") << "3e" << 3.0 << 3.0 << "";
        QTest::newRow("bare point") << ".5" << 0.5 << 0.5 << "0";
        QTest::newRow("trailing point") << "4.days" << 4.0 << 4.0 << "";
        QTest::newRow("second point stops") << "1.2.3" << 1.2 << 1.2 << "";
        QTest::newRow("commas: points, or the second stops") << "1,234,5" << 1.234 << 1.0 << "";
        QTest::newRow("empty") << "" << 0.0 << 0.0 << "";
        QTest::newRow("lone sign") << "- 3" << 0.0 << 0.0 << "";
        QTest::newRow("too large") << "-1e999 s" << -HUGE_VAL << -HUGE_VAL << "";
        QTest::newRow("too small") << "1e-999" << 0.0 << 0.0 << "0";
        QTest::newRow("largest whole") << "2147483647" << 2147483647.0 << 2147483647.0 << "2147483647";
        QTest::newRow("smallest whole") << "-2147483648" << -2147483648.0 << -2147483648.0 << "-2147483648";
        QTest::newRow("one past the largest") << "2147483648" << 2147483648.0 << 2147483648.0 << "";
        QTest::newRow("rounds past the largest") << "2147483647.5" << 2147483647.5 << 2147483647.5 << "";
    }
    void textToNumber()
    {
        QFETCH(QString, text);
        QTEST(NumberValue(text), "value");
        QTEST(LeadingNumber(text), "leading");
        const WholeNumber whole = ReadWholeNumber(text);
        QTEST(whole.Ok ? QString::number(whole.Value) : QString(), "whole");
    }

    // A packed time in a locale's short date: a two-digit year and no blank.
    void timestampText_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<uint>("packed");
        QTest::addColumn<QString>("expected");
        const uint lastOf2004 = PackTime(12 * 4 + 11, 31, 23, 59, 58);
        QTest::newRow("de_DE") << "de_DE" << lastOf2004 << "31.12.04 23:59:58";
        QTest::newRow("hu_HU: blanks, year first; zero is 31 Dec 1999") << "hu_HU" << uint(0) << "1999.12.31 00:00:00";
        QTest::newRow("ja_JP: year first; day 0 of March 2004") << "ja_JP" << PackTime(50, 0) << "2004/02/29 00:00:00";
        QTest::newRow("31 Feb 2004") << "de_DE" << PackTime(49, 31) << "02.03.04 00:00:00";
        QTest::newRow("last month rolls over") << "de_DE" << PackTime(1023, 31) << "01.05.85 00:00:00";
    }
    void timestampText()
    {
        QFETCH(QString, locale);
        QFETCH(uint, packed);
        QTEST(TimestampText(packed, ShortDateFormat(QLocale(locale))), "expected");
    }

    // The record at offset 1: the packed time (the C locale's date has month names: shown numeric), then
    // values high byte first; values beyond the count keep what they held (-7), a short buffer clears.
    void decodeSampleRecord_data()
    {
        QTest::addColumn<QByteArray>("buffer");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("timestamp");
        QTest::addColumn<QList<int32_t>>("values");
        const QByteArray record = QByteArray::fromHex("AA 8097CC12 0102 FFFF 0000 8000");
        QTest::newRow("4 values") << record << 4 << true << "6/04/06 09:30:00"
                                  << QList<int32_t>{258, 65535, 0, 32768, -7};
        QTest::newRow("no values") << record << 0 << true << "6/04/06 09:30:00" << QList<int32_t>{-7, -7, -7, -7, -7};
        QTest::newRow("one byte short") << record.chopped(1) << 4 << false << "" << QList<int32_t>{0, 0, 0, 0, -7};
    }
    void decodeSampleRecord()
    {
        QFETCH(QByteArray, buffer);
        LiveSample sample;
        sample.Timestamp = QStringLiteral("old");
        sample.Values.fill(-7);
        QFETCH(int, count);
        QTEST(DecodeSampleRecord(buffer, 1, count, sample, ShortDateFormat(QLocale::c())), "ok");
        QTEST(sample.Timestamp, "timestamp");
        QTEST(QList<int32_t>(sample.Values.begin(), sample.Values.begin() + 5), "values");
    }

    // The slots after the 4-byte time: analog 1..8 = 11..18 (doubled), pulses 21 22.
    void compactMovesLastAnalogAndPulses_data()
    {
        QTest::addColumn<int>("analog");
        QTest::addColumn<int>("pulse");
        QTest::addColumn<QString>("after");
        QTest::newRow("3 analog, 2 pulse") << 3 << 2 << "1111 1212 1818 2121 2222 1616 1717 1818 2121 2222";
        QTest::newRow("3 analog, 0 pulse") << 3 << 0 << "1111 1212 1818 1414 1515 1616 1717 1818 2121 2222";
        QTest::newRow("1 analog, 1 pulse") << 1 << 1 << "1111 2121 1313 1414 1515 1616 1717 1818 2121 2222";
        QTest::newRow("no analog channel: unchanged") << 0 << 2 << "1111 1212 1313 1414 1515 1616 1717 1818 2121 2222";
        QTest::newRow("8 analog: unchanged") << 8 << 2 << "1111 1212 1313 1414 1515 1616 1717 1818 2121 2222";
    }
    void compactMovesLastAnalogAndPulses()
    {
        QFETCH(int, analog);
        QFETCH(int, pulse);
        QFETCH(QString, after);
        QByteArray frame = QByteArray::fromHex("00000000 1111 1212 1313 1414 1515 1616 1717 1818 2121 2222");
        CompactSampleFrame(frame, analog, pulse);
        QCOMPARE(frame.toHex(' '), QByteArray::fromHex("00000000 " + after.toLatin1()).toHex(' '));
    }

    // Where the program finds its catalogues and manual: beside it, in the prefix's share folder once installed,
    // else in the system's data folders ("system" here). "@" stands for the program's data subfolder.
    void findsTheFilesThatCameWithTheProgram_data()
    {
        QTest::addColumn<QString>("files");
        QTest::addColumn<QString>("expected");
        QTest::newRow("build folder") << "bin/flumes.lst share/@/flumes.lst" << "bin";
        QTest::newRow("installed") << "share/@/weirs.lst system/@/weirs.lst" << "share/@";
        QTest::newRow("manual only") << "share/@/manual/BrevelFlowMonitor.html" << "share/@";
        QTest::newRow("system data folder") << "system/@/flumes.lst" << "system/@";
        QTest::newRow("nowhere") << "bin/vnotch90.tbl share/other/flumes.lst" << "bin";
    }
    void findsTheFilesThatCameWithTheProgram()
    {
        QFETCH(QString, files);
        QFETCH(QString, expected);
        const QString subfolder = QStringLiteral("brevel-flow-monitor");
        ScratchFolder prefix;
        for (const QString& file : files.replace(u'@', subfolder).split(u' ')) {
            QVERIFY(prefix.write(file, {}));
        }
        qputenv("XDG_DATA_DIRS", QFile::encodeName(prefix.path(QStringLiteral("system"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(prefix.path(QStringLiteral("home"))));
        QCOMPARE(FindDataFolder(prefix.path(QStringLiteral("bin"))), prefix.path(expected.replace(u'@', subfolder)));
    }

    void errorTrapping()
    {
        const auto fail = []() -> int { throw std::runtime_error("x"); };
        QCOMPARE(RunTrapped(true, fail, [] { return -1; }), -1);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, RunTrapped(false, fail, [] { return -1; }));
    }
};

BREVEL_TEST(CoreTest)
#include "tst_core.moc"
