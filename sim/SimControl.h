#pragma once

#include <QString>

class LoggerEngine;

// Applies one line of the --control input to the logger's live readings:
// "counts A,B,..." fixes the analog channels from channel 1, "pulse-counts
// A,B" the pulse channels, "release" returns to generated readings. Returns
// an empty text, or why the line was not understood.
QString ApplyControlLine(const QString& line, LoggerEngine& logger);
