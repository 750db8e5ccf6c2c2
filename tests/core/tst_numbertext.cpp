#include "TestRegistry.h"
#include "core/NumberText.h"

#include <QLocale>
#include <QTest>
#include <clocale>
#include <cmath>

// Every case runs twice: under the C locale and under a decimal-comma locale,
// where the point must stay the decimal separator.
class NumberTextTest : public QObject {
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

    // FormatDecimals with the places given, and NumberText.
    void numberToText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("fixed");
        QTest::addColumn<QString>("general");
        QTest::newRow("tie down to even") << 2.5 << 0 << "2" << "2.5";
        QTest::newRow("tie up to even") << 3.5 << 0 << "4" << "3.5";
        QTest::newRow("negative tie") << -2.5 << 0 << "-2" << "-2.5";
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

    // NumberValue reads commas as points; LeadingNumber (the interval count
    // of the settings image) stops at a comma; ReadWholeNumber takes only a
    // whole numeric text ("" where it refuses).
    void textToNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("leading");
        QTest::addColumn<QString>("whole");
        QTest::newRow("comma") << "2,5" << 2.5 << 2.0 << "";
        QTest::newRow("blanks and trailing text") << "  -12.5 ft" << -12.5 << -12.5 << "";
        QTest::newRow("blanks around") << "  -7 " << -7.0 << -7.0 << "-7";
        QTest::newRow("exponent") << "1.5e3" << 1500.0 << 1500.0 << "1500";
        QTest::newRow("negative exponent, tie to even down") << "25E-1" << 2.5 << 2.5 << "2";
        QTest::newRow("tie to even up") << "3.5" << 3.5 << 3.5 << "4";
        QTest::newRow("exponent letter without digits") << "3e" << 3.0 << 3.0 << "";
        QTest::newRow("bare point") << ".5" << 0.5 << 0.5 << "0";
        QTest::newRow("trailing point") << "4.days" << 4.0 << 4.0 << "";
        QTest::newRow("second point stops") << "1.2.3" << 1.2 << 1.2 << "";
        QTest::newRow("second comma stops") << "1,234,5" << 1.234 << 1.0 << "";
        QTest::newRow("no number") << "abc" << 0.0 << 0.0 << "";
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
};

BREVEL_TEST(NumberTextTest)
#include "tst_numbertext.moc"
