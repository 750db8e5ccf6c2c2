#include "cli/TracePrinter.h"

#include "link/CommunicationsLog.h"

#include <cstdio>

void TracePrinter::Print(const LinkTraceEvent& event) const
{
    std::fprintf(stderr, "%s\n", qPrintable(TraceLineText(event, double(started_.elapsed()) / 1000.0)));
}

void TracePrinter::PrintModemText(const QString& text) const
{
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString shown = line.trimmed();
        if (!shown.isEmpty()) {
            std::fprintf(stderr, "%8.3f modem: %s\n", double(started_.elapsed()) / 1000.0, qPrintable(shown));
        }
    }
}
