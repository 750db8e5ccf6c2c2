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

    void formatDecimals_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        QTest::newRow("tie down to even") << 2.5 << 0 << "2";
        QTest::newRow("tie up to even") << 3.5 << 0 << "4";
        QTest::newRow("more than six places count as six") << 1.23456789 << 9 << "1.234568";
        QTest::newRow("negative places count as none") << 7.6 << -3 << "8";
        QTest::newRow("two places padded") << 100.0 << 2 << "100.00";
        QTest::newRow("tie as written, not as stored") << 0.15 << 1 << "0.2";
        QTest::newRow("carry through nines") << 9.9996 << 3 << "10.000";
        QTest::newRow("negative rounding to zero has no sign") << -0.0004 << 3 << "0.000";
        QTest::newRow("above half of the last place") << 0.0006 << 3 << "0.001";
        QTest::newRow("half of the last place exactly") << 0.0005 << 3 << "0.000";
    }
    void formatDecimals()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QTEST(FormatDecimals(value, static_cast<int16_t>(decimals)), "text");
    }

    void numberText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 100.0 << "100";
        QTest::newRow("negative fraction") << -2.5 << "-2.5";
        QTest::newRow("fifteen significant digits") << 1.0 / 3.0 << "0.333333333333333";
        QTest::newRow("binary noise rounded away") << 0.1 + 0.2 << "0.3";
        QTest::newRow("largest plain") << 999999999999999.0 << "999999999999999";
        QTest::newRow("large in exponent form") << 1e15 << "1E+15";
        QTest::newRow("small in exponent form") << 1.5e-7 << "1.5E-07";
        QTest::newRow("negative zero") << -0.0 << "0";
    }
    void numberText()
    {
        QFETCH(double, value);
        QTEST(NumberText(value), "text");
    }

    // NumberValue reads commas as points; LeadingNumber (the interval count
    // of the settings image) stops at a comma.
    void leadingNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("leading");
        QTest::newRow("comma") << "2,5" << 2.5 << 2.0;
        QTest::newRow("blanks and trailing text") << "  -12.5 ft" << -12.5 << -12.5;
        QTest::newRow("exponent") << "1.5e3" << 1500.0 << 1500.0;
        QTest::newRow("negative exponent") << "25E-1" << 2.5 << 2.5;
        QTest::newRow("exponent letter without digits") << "3e" << 3.0 << 3.0;
        QTest::newRow("bare point") << ".5" << 0.5 << 0.5;
        QTest::newRow("trailing point") << "4.days" << 4.0 << 4.0;
        QTest::newRow("second point stops") << "1.2.3" << 1.2 << 1.2;
        QTest::newRow("second comma stops") << "1,234,5" << 1.234 << 1.0;
        QTest::newRow("no number") << "abc" << 0.0 << 0.0;
        QTest::newRow("lone sign") << "- 3" << 0.0 << 0.0;
        QTest::newRow("too large") << "-1e999 s" << -HUGE_VAL << -HUGE_VAL;
        QTest::newRow("too small") << "1e-999" << 0.0 << 0.0;
    }
    void leadingNumbers()
    {
        QFETCH(QString, text);
        QTEST(NumberValue(text), "value");
        QTEST(LeadingNumber(text), "leading");
    }

    void readWholeNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::newRow("blanks around") << "  -7 " << true << -7;
        QTest::newRow("tie to even down") << "2.5" << true << 2;
        QTest::newRow("tie to even up") << "3.5" << true << 4;
        QTest::newRow("exponent") << "1e3" << true << 1000;
        QTest::newRow("largest") << "2147483647" << true << 2147483647;
        QTest::newRow("smallest") << "-2147483648" << true << int(-2147483647 - 1);
        QTest::newRow("one past the largest") << "2147483648" << false << 0;
        QTest::newRow("rounds past the largest") << "2147483647.5" << false << 0;
        QTest::newRow("trailing text") << "12abc" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
    }
    void readWholeNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        const WholeNumber result = ReadWholeNumber(text);
        QCOMPARE(result.Ok, ok);
        if (ok) {
            QTEST(result.Value, "value");
        }
    }
};

BREVEL_TEST(NumberTextTest)
#include "tst_numbertext.moc"
