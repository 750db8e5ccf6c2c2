#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

// The system's short date with a two-digit year, the way every date of a
// logger record is shown and exported. The text never holds a blank: a
// timestamp is "date time", and the export splits it at its first blank.
class ShortDateFormat {
public:
    explicit ShortDateFormat(const QLocale& locale = QLocale::system());

    QString Text(QDate date) const;
    // The numeric pattern in use ("dd.MM.yy", "M/d/yy", "d/MM/yyyy" ...).
    const QString& Pattern() const { return pattern_; }

private:
    QString pattern_;
};

// One date in the system's short date format with a two-digit year.
QString ShortDateText(QDate date);

// The time in the locale's long time format, without the time zone field
// and what sets it apart ("H:mm:ss (t)", "h:mm:ss AP, t"). The digits and
// AM/PM texts are those of the locale "digits" (by default the same locale).
QString LongTimeText(QTime time, const QLocale& locale = QLocale::system());
QString LongTimeText(QTime time, const QLocale& locale, const QLocale& digits);
