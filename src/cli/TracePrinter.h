#pragma once

#include "link/LoggerLink.h"

#include <QElapsedTimer>

// --trace: each frame and reply byte of the link on standard error, one a
// line: seconds since the start, direction, the bytes in hexadecimal and
// what the link made of them.
//   0.412 > F8 03 0C 00 05 F9
//   0.431 < FA  acknowledged
//   0.448 < F8 07 ... F9  frame
class TracePrinter {
public:
    TracePrinter() { started_.start(); }
    void Print(const LinkTraceEvent& event) const;
    // Text the modem sent, as the program's modem window shows it.
    void PrintModemText(const QString& text) const;

private:
    QElapsedTimer started_;
};
