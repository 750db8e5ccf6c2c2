#include "TestRegistry.h"
#include "config/Number24.h"

#include <QTest>

#include <limits>

namespace {

constexpr uint32_t Negative = 0x800000;

constexpr uint32_t Code(uint32_t decimals, uint32_t mantissa)
{
    return (decimals << 20) + mantissa;
}

} // namespace

class Number24Test : public QObject {
    Q_OBJECT
private slots:
    // Each value, the code it is stored as, and the value that code reads back as.
    void encodesAndDecodes_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<uint32_t>("code");
        QTest::addColumn<QString>("stored");
        const auto row = [](const char* name, double value, uint32_t code, const char* stored) {
            QTest::newRow(name) << value << code << QString::fromLatin1(stored);
        };
        row("-2.5", -2.5, Negative + Code(5, 250000), "-2.5");
        row("six digits kept", -1.23456, Negative + Code(5, 123456), "-1.2345599999999999");
        // One division per decimal place gives these, not m / 10^e.
        row("0.014 by seven divisions", 0.014, Code(7, 140000), "0.013999999999999999");
        row("0.00000005 rounds up", 0.00000005, Code(7, 1), "1.0000000000000002e-07");
        row("below 0.00000005 keeps seven decimals", 0.000000049, Code(7, 0), "0");
        row("not a number", std::numeric_limits<double>::quiet_NaN(), 0, "0");
        row("above the largest", -123456789.0, Negative + Code(0, 999999), "-999999");
        row("999999.5 is cut, not rounded up", 999999.5, Code(0, 999999), "999999");
        row("infinity", std::numeric_limits<double>::infinity(), Code(0, 999999), "999999");
        row("99999.95 needs no decimal", 99999.95, Code(0, 100000), "100000");
        row("99999.949 takes one", 99999.949, Code(1, 999999), "99999.899999999994");
        // x + 0.5 lands just below the half; at 15 digits it is the half.
        row("100.0015 rounds up", 100.0015, Code(3, 100002), "100.00200000000001");
        row("-1000.045 rounds away", -1000.045, Negative + Code(2, 100005), "-1000.05");
    }
    void encodesAndDecodes()
    {
        QFETCH(double, value);
        QFETCH(uint32_t, code);
        QFETCH(QString, stored);
        QCOMPARE(QString::number(EncodeNumber24(value), 16), QString::number(code, 16));
        const double back = DecodeNumber24(code);
        QCOMPARE(QString::number(back, 'g', 17), stored); // every digit: a last bit that differs shows
        // The setup window shows the stored value; storing that again changes nothing.
        if (back != 0.0) {
            QCOMPARE(QString::number(EncodeNumber24(back), 16), QString::number(code, 16));
        }
    }
};

BREVEL_TEST(Number24Test)
#include "tst_number24.moc"
