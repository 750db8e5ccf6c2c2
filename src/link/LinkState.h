#pragma once

#include <cstdint>

// The state of the line to the logger. Busy is taken and given back only
// through ExchangeGuard.
struct LinkState {
    int16_t ReplyTicks = 0;     // reply wait of the current connection, 100 ms ticks
    int16_t ReplyCountdown = 0; // set by the link's wait, decremented by the status tick
    bool Connected = false;
    bool Busy = false;          // an exchange with the logger is under way
};
