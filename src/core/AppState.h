#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// The program-wide run-time values. One instance lives for the whole run,
// owned by the session that main() builds; everything else takes it by
// reference.
struct AppState {
    bool ErrorTrapping = true;       // "-d" switches it off
    bool ForceInitialisation = false; // "-i"
    int16_t ModemReplyTicks = 4;     // "-w<n>"
    int16_t ReplyTicks = 0;          // reply wait of the current connection, 100 ms ticks
    int16_t ReplyCountdown = 0;      // set by the link's wait, decremented by the status tick
    bool Connected = false;
    bool ShownConnected = false;
    bool Loading = true;
    bool Busy = false;
    bool SamplingContinuously = false;
    bool AwaitingSample = false;
    int16_t SamplePhase = 0;
    int16_t SampleWaitCountdown = 0;
    int16_t DerivedColumnCount = 2;
    int16_t SampleCount = 0;         // valid entries of the live sample history, 0 to 5

    // Logger values refreshed by the command set.
    uint32_t RecordCount = 0;
    uint16_t StatusWord = 0;
    QString LoggingStateText;
    QString LoggerTimeText;
    // The logger's clock minus the computer's, in seconds, at the last clock
    // read that gave a valid time; none before one.
    std::optional<qint64> ClockOffsetSeconds;
    int16_t FirmwareVersion = 0;
};
