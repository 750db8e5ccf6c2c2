#pragma once

// The hourglass pointer while the program works.
class BusyCursor {
public:
    virtual ~BusyCursor() = default;
    virtual void setBusy(bool busy) = 0;
};

// Shows the hourglass for one scope.
class BusyScope {
public:
    explicit BusyScope(BusyCursor& cursor) : cursor_(cursor) { cursor_.setBusy(true); }
    ~BusyScope() { cursor_.setBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    BusyCursor& cursor_;
};
