#pragma once

#include <QStringView>

// The numeric value of a text's leading number: leading blanks are skipped,
// then an optional sign, digits with at most one point (the only decimal
// separator) and an optional exponent are read; reading stops at the first
// character that cannot continue the number. A text without a number gives 0.
// "15 minutes" gives 15, " -2.5e1x" gives -25, "min" gives 0.
double LeadingNumber(QStringView text);
