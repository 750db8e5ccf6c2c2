#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// The logger's state as the command set last read it.
struct LoggerStatus {
    uint32_t RecordCount = 0;
    uint16_t StatusWord = 0;
    QString LoggingStateText;
    QString LoggerTimeText;
    // The logger's clock minus the computer's, in seconds, at the last clock
    // read that gave a valid time; none before one.
    std::optional<qint64> ClockOffsetSeconds;
    int16_t FirmwareVersion = 0;
};
