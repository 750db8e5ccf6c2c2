#pragma once

#include <QString>

// How far the logger's clock is from the computer's, for the main window's
// status bar: "Logger clock 2 min 13 s behind this computer". seconds is the
// logger's clock minus the computer's.
QString ClockOffsetText(qint64 seconds);
