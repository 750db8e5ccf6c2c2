#include "core/DateText.h"

namespace {

bool IsDateSeparator(QChar c)
{
    return c == u'.' || c == u'/' || c == u'-';
}

// A locale pattern is used as it stands only when it is purely numeric: day,
// month and year fields joined by ".", "/" or "-". Month names, weekday names,
// blanks and literal texts ("d MMM yyyy" of the C locale, "yyyy. MM. dd.")
// give a numeric pattern with the locale's field order instead.
bool IsNumericPattern(const QString& pattern)
{
    int run = 0;
    QChar last;
    for (QChar c : pattern) {
        if (c == u'd' || c == u'M' || c == u'y') {
            run = (c == last) ? run + 1 : 1;
            if ((c == u'd' || c == u'M') && run > 2) {
                return false;
            }
        } else if (!IsDateSeparator(c)) {
            return false;
        }
        last = c;
    }
    return pattern.contains(u'd') && pattern.contains(u'M') && pattern.contains(u'y');
}

QString NumericPattern(const QString& localePattern)
{
    QString separator = QStringLiteral("/");
    for (QChar c : localePattern) {
        if (IsDateSeparator(c)) {
            separator = c;
            break;
        }
    }
    QStringList fields;
    auto addField = [&](QChar letter, const QString& field) {
        for (const QString& existing : fields) {
            if (existing.startsWith(letter)) {
                return;
            }
        }
        fields << field;
    };
    for (qsizetype i = 0; i < localePattern.size(); ++i) {
        const QChar c = localePattern[i];
        qsizetype run = 1;
        while (i + run < localePattern.size() && localePattern[i + run] == c) {
            ++run;
        }
        if (c == u'd' && run <= 2) {
            addField(c, QString(run, c));
        } else if (c == u'M') {
            addField(c, QStringLiteral("MM"));
        } else if (c == u'y') {
            addField(c, run <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy"));
        }
        i += run - 1;
    }
    // Fields the locale pattern lacks go in day, month, year order.
    addField(u'd', QStringLiteral("dd"));
    addField(u'M', QStringLiteral("MM"));
    addField(u'y', QStringLiteral("yyyy"));
    return fields.join(separator);
}

} // namespace

ShortDateFormat::ShortDateFormat(const QLocale& locale)
{
    const QString localePattern = locale.dateFormat(QLocale::ShortFormat);
    pattern_ = IsNumericPattern(localePattern) ? localePattern : NumericPattern(localePattern);
    // A four-digit year at the end loses its first two digits (12/31/2004
    // becomes 12/31/04).
    if (pattern_.endsWith(QStringLiteral("yyyy"))) {
        pattern_.chop(2);
    }
}

QString ShortDateFormat::Text(QDate date) const
{
    // The pattern is numeric, so the C locale formats it with ASCII digits.
    return QLocale::c().toString(date, pattern_);
}

QString ShortDateText(QDate date)
{
    return ShortDateFormat().Text(date);
}

QString LongTimeText(QTime time, const QLocale& locale)
{
    return LongTimeText(time, locale, locale);
}

QString LongTimeText(QTime time, const QLocale& locale, const QLocale& digits)
{
    // The zone is every "t" outside quotes; the brackets, comma and blanks
    // around it go with it.
    QString pattern;
    bool quoted = false;
    for (const QChar c : locale.timeFormat(QLocale::LongFormat)) {
        quoted = quoted != (c == u'\'');
        if (quoted || c != u't') {
            pattern += c;
        }
    }
    pattern.replace(QStringLiteral("()"), QString());
    pattern = pattern.trimmed();
    while (pattern.endsWith(u',')) {
        pattern = pattern.chopped(1).trimmed();
    }
    pattern.replace(QStringLiteral("  "), QStringLiteral(" "));
    return digits.toString(time, pattern);
}
