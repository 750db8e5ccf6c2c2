#pragma once

#include "link/ModemDial.h"

class StopSignal;
class TracePrinter;

// The modem dialogue without a window, for unattended use: it runs until
// the modem connects, and ends it where no one is there to press Cancel:
// on a busy line or lost carrier, on Ctrl-C, and after the dial timeout
// (a modem that never answered "OK" counts as no modem at that rate).
class ModemDialDisplay : public ModemDisplay {
public:
    ModemDialDisplay(StopSignal& stop, int timeoutSeconds, const TracePrinter* trace)
        : stop_(stop), timeoutSeconds_(timeoutSeconds), trace_(trace)
    {
    }

    void ShowModal(ModemDialogue& dialogue) override;

private:
    StopSignal& stop_;
    int timeoutSeconds_;
    const TracePrinter* trace_;
};
