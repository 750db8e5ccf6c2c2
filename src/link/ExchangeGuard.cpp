#include "link/ExchangeGuard.h"

#include "link/LinkState.h"

ExchangeGuard::ExchangeGuard(LinkState& link, bool lineClaimed, ExchangeNeeds needs) : link_(link)
{
    const bool loggerReady = link.Connected || needs == ExchangeNeeds::FreeLine;
    if (loggerReady && !link.Busy && !lineClaimed) {
        link.Busy = true;
        held_ = true;
    }
}

ExchangeGuard::~ExchangeGuard()
{
    Release();
}

void ExchangeGuard::Release()
{
    if (held_) {
        link_.Busy = false;
        held_ = false;
    }
}
