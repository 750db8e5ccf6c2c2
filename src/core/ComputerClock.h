#pragma once

#include <QDateTime>
#include <QString>

// The computer's local time as the logger's clock command takes it:
// "05/17/06 14:03:09", month/day/two-digit year and a 24-hour time.
inline QString ComputerClockText(const QDateTime& now = QDateTime::currentDateTime())
{
    return now.toString(QStringLiteral("MM/dd/yy HH:mm:ss"));
}
