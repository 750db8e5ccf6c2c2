#pragma once

#include <QString>
#include <cstdint>

// The logger's state as the command set last read it.
struct LoggerStatus {
    uint32_t RecordCount = 0;
    uint16_t StatusWord = 0;
    QString LoggingStateText;
    QString LoggerTimeText;
    int16_t FirmwareVersion = 0;
};
