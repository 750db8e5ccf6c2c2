#pragma once

#include <cstdint>

// What the command line asks of this run; set once at start-up.
struct ProgramOptions {
    bool ErrorTrapping = true;        // "-d" switches it off
    bool ForceInitialisation = false; // "-i"
    int16_t ModemReplyTicks = 4;      // "-w<n>"
};
