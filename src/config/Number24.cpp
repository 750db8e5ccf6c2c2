#include "config/Number24.h"

#include <QString>
#include <cmath>

namespace {

constexpr uint32_t SignBit = 0x800000;
constexpr uint32_t MantissaMask = 0xFFFFF;
constexpr int ExponentShift = 20;
constexpr double LargestMagnitude = 999999.0;
constexpr int MostDecimals = 7;

// Sums such as 1234.4999999999998 must count as 1234.5 before the floor, as
// the logger's own tools round: go through the 15-digit decimal text.
double AtFifteenDigits(double x)
{
    return QString::number(x, 'g', 15).toDouble();
}

} // namespace

uint32_t EncodeNumber24(double x)
{
    if (x == 0.0 || std::isnan(x)) {
        return 0;
    }
    uint32_t sign = 0;
    if (x < 0) {
        sign = SignBit;
        x = -x;
    }
    if (x > LargestMagnitude) {
        x = LargestMagnitude;
    }
    uint32_t e = 0;
    while (x < 99999.95 && e < MostDecimals) {
        x *= 10;
        ++e;
    }
    const double mantissa = std::floor(AtFifteenDigits(x + 0.5));
    const uint32_t m = mantissa > LargestMagnitude ? uint32_t(LargestMagnitude) : uint32_t(mantissa);
    return m + (e << ExponentShift) + sign;
}

double DecodeNumber24(uint32_t code)
{
    if (code == 0) {
        return 0.0;
    }
    double v = double(code & MantissaMask);
    const uint32_t e = (code >> ExponentShift) & 7;
    // One division per decimal place, not one by 10^e: the stored values
    // are the ones these divisions give.
    for (uint32_t i = 0; i < e; ++i) {
        v /= 10;
    }
    return (code & SignBit) ? -v : v;
}

int ToBcd(int value)
{
    return (value / 10) * 16 + value % 10;
}

int FromBcd(uint8_t bcd)
{
    return (bcd >> 4) * 10 + (bcd & 0x0F);
}
