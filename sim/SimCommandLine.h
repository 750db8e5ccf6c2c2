#pragma once

#include "HayesModem.h"
#include "LoggerOptions.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

// Everything the brevel-logger-sim program is told on its command line.
struct SimSettings {
    LoggerOptions Logger;
    bool Modem = false;
    ModemOptions ModemSettings;
    int LatencyMs = 0;
    int Baud = 0;
    QString Name = QStringLiteral("logger");
    bool Trace = false;
    bool Control = false; // live counts are changed by lines on standard input
    QList<uint16_t> AnalogCounts; // fixed live counts, channel 1 first
    QList<uint16_t> PulseCounts;
};

struct SimCommandLine {
    SimSettings Settings;
    bool HelpRequested = false;
    QString HelpText;
    QString Error; // set when the command line cannot be used
};

// Raw counts separated by commas, such as "5000,20000"; false when one is
// not a number from 0 to 65535.
bool ParseRawCounts(const QString& text, QList<uint16_t>& counts);

// Reads the arguments (the program name first). None of the options
// contains "-d", "-i" or "-w", which the logger program itself searches
// its command line for.
SimCommandLine ParseSimCommandLine(const QStringList& arguments);
