#pragma once

// The hourglass pointer while the program works.
class BusyCursor {
public:
    virtual ~BusyCursor() = default;
    virtual void SetBusy(bool busy) = 0;
};

// Shows the hourglass for one scope.
class BusyScope {
public:
    explicit BusyScope(BusyCursor& cursor) : cursor_(cursor) { cursor_.SetBusy(true); }
    ~BusyScope() { cursor_.SetBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    BusyCursor& cursor_;
};
