#pragma once

#include <QString>

struct ProgramOptions;

// Applies the options of the whole command line, found by substring search:
// "-d" (case-sensitive) switches error trapping off, "-i" (case-sensitive)
// forces the logger initialisation question, "-w" or "-W" followed by a
// whole number from 0 to 32767 sets the modem reply wait in 100 ms ticks.
// Anything else after "-w" leaves the wait at 4 ticks.
void ApplyCommandLine(const QString& commandLine, ProgramOptions& options);
