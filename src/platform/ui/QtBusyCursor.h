#pragma once

#include "platform/BusyCursor.h"

// The hourglass as the application's override cursor; nested scopes stack.
class QtBusyCursor : public BusyCursor {
public:
    void SetBusy(bool busy) override;
};
