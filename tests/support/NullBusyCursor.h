#pragma once

#include "platform/BusyCursor.h"

// Stands in for QtBusyCursor (src/platform), tested in tests/platform.
// Shows nothing; remembers how deep the busy scopes are nested.
class NullBusyCursor : public BusyCursor {
public:
    void SetBusy(bool busy) override { depth += busy ? 1 : -1; }
    int depth = 0;
};
