#pragma once

#include "platform/BusyCursor.h"

// Stands in for QtBusyCursor, tested in tests/platform; remembers how deep the busy scopes are nested.
class NullBusyCursor : public BusyCursor {
public:
    void SetBusy(bool busy) override { depth += busy ? 1 : -1; }
    int depth = 0;
};
