#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>

// Number texts shown or written by the program. Every one has a point as its
// decimal separator, whatever the system's locale.

// The value rounded to `decimals` places (ties to even on the value as
// written in shortest decimal form, so 2.5 gives "2" and 0.125 gives "0.12"),
// shown with exactly that many places. Fewer than 0 places count as 0, more
// than 6 as 6.
QString FormatDecimals(double value, int16_t decimals);

// The value in general form: at most 15 significant digits, no trailing
// zeros, no thousands separators; exponent form ("1E+15", "1E-05") for very
// large or very small magnitudes.
QString NumberText(double value);

// True when the whole text, blanks around it allowed, is a number: an
// optional sign, digits with an optional point, an optional exponent.
bool IsNumericText(QStringView text);

// The value of the text's leading number: leading blanks are skipped and
// reading stops at the first character that cannot continue the number (a
// point is the only decimal separator); 0 when the text holds none.
// "15 minutes" gives 15, "1,5" gives 1.
double LeadingNumber(QStringView text);

// The text as a number with every comma read as a point; the value of its
// leading number, 0 when it holds none.
double NumberValue(const QString& text);

struct WholeNumber {
    bool Ok = false;
    int32_t Value = 0;
};

// A numeric text (see IsNumericText) rounded to the nearest whole number,
// ties to even; not ok when the text is not numeric or the rounded value
// lies outside the 32-bit range.
WholeNumber ReadWholeNumber(QStringView text);
