#pragma once

#include <QList>
#include <QString>
#include <cstdint>

// Faults the virtual logger puts on the line, drawn from a generator seeded
// with Seed, so that a failing run can be repeated exactly. Rates are
// probabilities per byte (noise, lost and corrupted bytes) or per request
// (lost acknowledgements and lost requests).
struct FaultOptions {
    uint32_t Seed = 1;
    double NoiseRate = 0.0;       // a random byte slips in before a reply byte
    double LoseByteRate = 0.0;    // a reply byte never arrives
    double CorruptRate = 0.0;     // one bit of a reply byte flips
    double LoseAckRate = 0.0;     // the acknowledgement is lost, the command still runs
    double LoseRequestRate = 0.0; // the request frame never reaches the logger
    // A reply leaves late (a slow logger, a modem line): held back by a time
    // drawn evenly from LateMinMs to LateMaxMs. Replies keep their order, so
    // the ones after it wait behind it.
    double LateRate = 0.0;
    int LateMinMs = 1100;
    int LateMaxMs = 3000;
    // The line goes dead after this many reply bytes (negative: never), even
    // in the middle of a frame; it comes back when the computer reconnects.
    int64_t HangUpAfterBytes = -1;

    bool Any() const;
};

struct LoggerOptions {
    int AnalogChannels = 3;
    int PulseChannels = 2;
    int FirmwareVersion = 7;
    bool SampleOnDemand = true;
    // A logger fresh from the factory: memory signature and settings erased.
    bool Initialised = true;
    // Where the logger's memory survives between runs ("" keeps it in memory only).
    QString MemoryFile;
    int HistoryRecords = 500;
    int RecordPeriodSeconds = 900;
    // Seeds the generated history and live readings.
    uint32_t DataSeed = 1;
    uint16_t StatusWord = 0x0080; // logging
    // Answer the clock in the twelve-hour format some loggers use.
    bool TwelveHourClock = false;
    // Answer the read-sample command with "no data" always.
    bool NoSamples = false;
    // Ignore the wake-up bytes (a logger that only answers frames).
    bool AnswersWakeUp = true;
    // Command codes the logger ignores without a word: no acknowledgement,
    // no answer, nothing done.
    QList<uint8_t> MutedCommands;
    // How long memory initialisation takes before "done".
    int InitialiseMs = 500;
    FaultOptions Faults;
};

// The most history records the logger can be asked to generate.
constexpr int MaxHistoryRecords = 2000000;
