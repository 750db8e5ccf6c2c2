#include "core/NumberText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace {

// The shortest decimal digits that read back as the value, and the power of
// ten of the first digit: value = d0.d1d2... x 10^exponent.
struct DecimalDigits {
    std::string Digits;
    int Exponent = 0;
};

DecimalDigits ShortestDigits(double magnitude)
{
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                      std::chars_format::scientific);
    const std::string_view text(buffer.data(), static_cast<size_t>(result.ptr - buffer.data()));
    const size_t e = text.find('e');
    DecimalDigits out;
    for (char c : text.substr(0, e)) {
        if (c != '.') {
            out.Digits += c;
        }
    }
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), out.Exponent);
    return out;
}

// Adds one to a string of decimal digits.
void Increment(std::string& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

// The digits of round(magnitude x 10^decimals), ties to even, as a decimal
// integer text.
std::string RoundedScaledDigits(double magnitude, int decimals)
{
    if (magnitude == 0.0) {
        return "0";
    }
    const DecimalDigits decimal = ShortestDigits(magnitude);
    const int keep = decimal.Exponent + decimals + 1; // digits at or above 10^-decimals
    if (keep >= static_cast<int>(decimal.Digits.size())) {
        return decimal.Digits + std::string(static_cast<size_t>(keep) - decimal.Digits.size(), '0');
    }
    if (keep < 0) {
        return "0";
    }
    std::string kept = decimal.Digits.substr(0, static_cast<size_t>(keep));
    const std::string_view rest = std::string_view(decimal.Digits).substr(static_cast<size_t>(keep));
    const bool restBeyondHalf = rest.find_first_not_of('0', 1) != std::string_view::npos;
    const bool lastKeptOdd = !kept.empty() && ((kept.back() - '0') % 2 == 1);
    const bool roundUp = rest[0] > '5' || (rest[0] == '5' && (restBeyondHalf || lastKeptOdd));
    if (kept.empty()) {
        kept = "0";
    }
    if (roundUp) {
        Increment(kept);
    }
    return kept;
}

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

qsizetype SkipDigits(QStringView text, qsizetype at)
{
    while (at < text.size() && IsDigit(text[at])) {
        ++at;
    }
    return at;
}

// Length of the number at the start of the text (sign, digits with at most
// one point, an exponent only when digits follow its letter); 0 when the
// text does not start with a number.
qsizetype NumberLength(QStringView text)
{
    qsizetype at = 0;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
        ++at;
    }
    const qsizetype integerStart = at;
    at = SkipDigits(text, at);
    bool hasDigits = at > integerStart;
    if (at < text.size() && text[at] == u'.') {
        const qsizetype fractionEnd = SkipDigits(text, at + 1);
        hasDigits = hasDigits || fractionEnd > at + 1;
        at = fractionEnd;
    }
    if (!hasDigits) {
        return 0;
    }
    if (at < text.size() && (text[at] == u'e' || text[at] == u'E')) {
        qsizetype exponent = at + 1;
        if (exponent < text.size() && (text[exponent] == u'+' || text[exponent] == u'-')) {
            ++exponent;
        }
        const qsizetype exponentEnd = SkipDigits(text, exponent);
        if (exponentEnd > exponent) {
            at = exponentEnd;
        }
    }
    return at;
}

// Reads a number text that NumberLength accepted, independently of the locale.
double ParseNumber(QStringView number)
{
    std::string ascii = number.toString().toStdString();
    if (!ascii.empty() && ascii.front() == '+') {
        ascii.erase(0, 1);
    }
    double value = 0.0;
    const auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone on overflow or underflow.
        const bool negative = ascii.front() == '-';
        const size_t e = ascii.find_first_of("eE");
        const bool tiny = e != std::string::npos && e + 1 < ascii.size() && ascii[e + 1] == '-';
        value = tiny ? 0.0 : HUGE_VAL;
        return negative ? -value : value;
    }
    return value;
}

} // namespace

QString FormatDecimals(double value, int16_t decimals)
{
    const int places = decimals <= 0 ? 0 : (decimals >= 6 ? 6 : decimals);
    if (!std::isfinite(value)) {
        return QString::number(value);
    }
    std::string digits = RoundedScaledDigits(std::fabs(value), places);
    const bool zero = digits.find_first_not_of('0') == std::string::npos;
    if (digits.size() < static_cast<size_t>(places) + 1) {
        digits.insert(0, static_cast<size_t>(places) + 1 - digits.size(), '0');
    }
    if (places > 0) {
        digits.insert(digits.size() - static_cast<size_t>(places), 1, '.');
    }
    if (value < 0 && !zero) {
        digits.insert(0, 1, '-');
    }
    return QString::fromStdString(digits);
}

QString NumberText(double value)
{
    if (value == 0.0) {
        return QStringLiteral("0"); // never "-0"
    }
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::general, 15);
    QString text = QString::fromLatin1(buffer.data(), result.ptr - buffer.data());
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    if (e >= 0) {
        text[e] = QLatin1Char('E');
    }
    return text;
}

bool IsNumericText(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    return !trimmed.isEmpty() && NumberLength(trimmed) == trimmed.size();
}

double LeadingNumber(QStringView view)
{
    qsizetype start = 0;
    while (start < view.size() && (view[start] == u' ' || view[start] == u'\t')) {
        ++start;
    }
    view = view.sliced(start);
    const qsizetype length = NumberLength(view);
    return length == 0 ? 0.0 : ParseNumber(view.first(length));
}

WholeNumber ReadWholeNumber(QStringView text)
{
    if (!IsNumericText(text)) {
        return {};
    }
    const double rounded = std::nearbyint(ParseNumber(text.trimmed()));
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) {
        return {};
    }
    return {true, static_cast<int32_t>(rounded)};
}

double NumberValue(const QString& text)
{
    QString withPoints = text;
    withPoints.replace(QLatin1Char(','), QLatin1Char('.'));
    return LeadingNumber(withPoints);
}
