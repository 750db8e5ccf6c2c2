#include "TestRegistry.h"
#include "config/Number24.h"

#include <QTest>

namespace {

constexpr uint32_t Negative = 0x800000;

constexpr uint32_t Code(uint32_t decimals, uint32_t mantissa)
{
    return (decimals << 20) + mantissa;
}

// Every digit of a double, so that two values that differ in the last bit differ here too.
QString Exactly(double value)
{
    return QString::number(value, 'g', 17);
}

} // namespace

class Number24Test : public QObject {
    Q_OBJECT
private slots:
    void encodes_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<uint32_t>("code");
        QTest::newRow("0.014") << 0.014 << Code(7, 140000);
        QTest::newRow("1.0") << 1.0 << Code(5, 100000);
        QTest::newRow("24.0") << 24.0 << Code(4, 240000);
        QTest::newRow("100.0") << 100.0 << Code(3, 100000);
        QTest::newRow("above the largest") << 123456789.0 << Code(0, 999999);
        QTest::newRow("-2.5") << -2.5 << Negative + Code(5, 250000);
        QTest::newRow("smallest") << 0.0000001 << Code(7, 1);
        QTest::newRow("999999.5 is cut, not rounded up") << 999999.5 << Code(0, 999999);
        QTest::newRow("-999999.5") << -999999.5 << Negative + Code(0, 999999);
        QTest::newRow("0.00000005 rounds up") << 0.00000005 << Code(7, 1);
        QTest::newRow("below 0.00000005 keeps seven decimals") << 0.000000049 << Code(7, 0);
        QTest::newRow("zero") << 0.0 << 0u;
        QTest::newRow("negative zero") << -0.0 << 0u;
        QTest::newRow("99999.95 needs no decimal") << 99999.95 << Code(0, 100000);
        QTest::newRow("99999.949 takes one") << 99999.949 << Code(1, 999999);
        // x + 0.5 lands just below the half; at 15 digits it is the half.
        QTest::newRow("100.0015 rounds up") << 100.0015 << Code(3, 100002);
        QTest::newRow("1.000125 rounds up") << 1.000125 << Code(5, 100013);
        QTest::newRow("-1000.045 rounds away") << -1000.045 << Negative + Code(2, 100005);
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << Code(0, 999999);
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 0u;
    }
    void encodes()
    {
        QFETCH(double, value);
        QFETCH(uint32_t, code);
        QCOMPARE(QString::number(EncodeNumber24(value), 16), QString::number(code, 16));
    }

    void decodes_data()
    {
        QTest::addColumn<uint32_t>("code");
        QTest::addColumn<QString>("value");
                QTest::newRow("-2.5") << Negative + Code(5, 250000) << Exactly(-2.5);
        QTest::newRow("999999") << Code(0, 999999) << Exactly(999999);
        QTest::newRow("zero") << 0u << Exactly(0);
        QTest::newRow("zero with seven decimals") << Code(7, 0) << Exactly(0);
        // One division per decimal place gives these, not m / 10^e.
        QTest::newRow("0.014 by seven divisions") << Code(7, 140000) << QStringLiteral("0.013999999999999999");
        QTest::newRow("0.07 by two divisions") << Code(2, 7) << QStringLiteral("0.069999999999999993");
        QTest::newRow("0.0000001 by seven divisions") << Code(7, 1) << QStringLiteral("1.0000000000000002e-07");
        QTest::newRow("mantissa above 999999 still decodes") << Code(1, 0xFFFFF) << Exactly(104857.5);
        QTest::newRow("bits above the sign ignored") << 0xFF000000u + Code(0, 12) << Exactly(12);
    }
    void decodes()
    {
        QFETCH(uint32_t, code);
        QFETCH(QString, value);
        QCOMPARE(Exactly(DecodeNumber24(code)), value);
    }

    // Six significant digits survive a round trip at every scale.
    void roundTripKeepsSixDigits_data()
    {
        QTest::addColumn<double>("value");
        for (const double v : {0.123456, 1.23456, 12.3456, 123.456, 1234.56, 12345.6, 123456.0, 999999.0, 0.0000123})
        {
            QTest::newRow(qPrintable(Exactly(v))) << v;
            QTest::newRow(qPrintable(Exactly(-v))) << -v;
        }
    }
    void roundTripKeepsSixDigits()
    {
        QFETCH(double, value);
        const double back = DecodeNumber24(EncodeNumber24(value));
        QVERIFY2(std::abs(back - value) <= std::abs(value) * 1e-12, qPrintable(Exactly(back)));
        QCOMPARE(EncodeNumber24(back), EncodeNumber24(value));
    }

    void bcd_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("bcd");
        QTest::newRow("0") << 0 << 0x00;
        QTest::newRow("9") << 9 << 0x09;
        QTest::newRow("10") << 10 << 0x10;
        QTest::newRow("23") << 23 << 0x23;
        QTest::newRow("59") << 59 << 0x59;
        QTest::newRow("99") << 99 << 0x99;
    }
    void bcd()
    {
        QFETCH(int, value);
        QFETCH(int, bcd);
        QCOMPARE(ToBcd(value), bcd);
        QCOMPARE(FromBcd(uint8_t(bcd)), value);
    }

    void bcdDigitsAreNotChecked()
    {
        QCOMPARE(FromBcd(0xFF), 165);
        QCOMPARE(FromBcd(0x3A), 40);
    }
};

BREVEL_TEST(Number24Test)
#include "tst_number24.moc"
