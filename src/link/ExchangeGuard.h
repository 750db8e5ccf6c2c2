#pragma once

struct LinkState;

// What an exchange needs of the line before it may start.
enum class ExchangeNeeds {
    ConnectedLogger, // every command to the logger
    FreeLine,        // connecting or disconnecting: no logger needed yet
};

// The one way to talk to the logger. Taking the guard checks that the line
// is free (no other exchange under way, and not claimed by continuous
// sampling) and, unless the exchange is the connection itself, that a logger
// is connected; when the check passes the guard holds the link busy until it
// is released or goes out of scope, on every path, an exception included.
// When it is refused the caller does nothing. Waits serve events, so a click
// or a timer tick may try to take the guard in the middle of an exchange:
// that is what it refuses.
class ExchangeGuard {
public:
    explicit ExchangeGuard(LinkState& link, bool lineClaimed = false,
                           ExchangeNeeds needs = ExchangeNeeds::ConnectedLogger);
    ~ExchangeGuard();
    ExchangeGuard(const ExchangeGuard&) = delete;
    ExchangeGuard& operator=(const ExchangeGuard&) = delete;

    bool Held() const { return held_; }
    explicit operator bool() const { return held_; }
    // Gives the link back before the end of the scope.
    void Release();

private:
    LinkState& link_;
    bool held_ = false;
};
