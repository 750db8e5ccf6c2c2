#pragma once

#include "app/TickSource.h"

#include <QTimer>

// The main window's ticks in the test's hand. step() runs ticks at once. While
// running freely every pass of the event loop is one tick of each running
// kind, each on its own timer as in the program (one tick runs while the
// other waits for the logger), so a wait that the program bounds in 100 ms
// ticks ends in a few passes instead of seconds.
class SteppedTicks final : public TickSource {
public:
    SteppedTicks()
    {
        for (Tick tick : {Tick::Status, Tick::Sample}) {
            QTimer& pass = pass_[index(tick)];
            pass.setInterval(0);
            QObject::connect(&pass, &QTimer::timeout, this, [this, tick] { emit Ticked(tick); });
        }
    }
    void Start(Tick tick) override
    {
        active_[index(tick)] = true;
        if (freely_) {
            pass_[index(tick)].start();
        }
    }
    void Stop(Tick tick) override
    {
        active_[index(tick)] = false;
        pass_[index(tick)].stop();
    }
    bool IsActive(Tick tick) const override { return active_[index(tick)]; }

    void step(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            for (Tick tick : {Tick::Status, Tick::Sample}) {
                if (active_[index(tick)]) {
                    emit Ticked(tick);
                }
            }
        }
    }
    void runFreely(bool on)
    {
        freely_ = on;
        for (Tick tick : {Tick::Status, Tick::Sample}) {
            if (on && active_[index(tick)]) {
                pass_[index(tick)].start();
            } else {
                pass_[index(tick)].stop();
            }
        }
    }

private:
    static int index(Tick tick) { return tick == Tick::Status ? 0 : 1; }

    bool active_[2] = {false, false};
    bool freely_ = false;
    QTimer pass_[2];
};
