#include "core/LeadingNumber.h"

#include <QLocale>

namespace {

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

} // namespace

double LeadingNumber(QStringView text)
{
    qsizetype start = 0;
    while (start < text.size() && (text[start] == u' ' || text[start] == u'\t')) {
        ++start;
    }
    qsizetype at = start;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
        ++at;
    }
    const qsizetype integerStart = at;
    at = SkipDigits(text, at);
    bool hasDigits = at > integerStart;
    if (at < text.size() && text[at] == u'.') {
        const qsizetype fractionStart = at + 1;
        const qsizetype fractionEnd = SkipDigits(text, fractionStart);
        hasDigits = hasDigits || fractionEnd > fractionStart;
        at = fractionEnd;
    }
    if (!hasDigits) {
        return 0.0;
    }
    // An exponent counts only when at least one digit follows the letter.
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
    bool ok = false;
    const double value = QLocale::c().toDouble(text.sliced(start, at - start), &ok);
    return ok ? value : 0.0;
}
