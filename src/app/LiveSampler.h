#pragma once

#include <functional>

struct Session;

// The sample timer's work (every 100 ms): the one-shot sample that Get
// Sample asks for (start at phase 0, start again at 10, read at 12) and the
// continuous one-second cycle (start at phase 0, read at 5). The status
// tick counts the one-shot sample's wait down.
class LiveSampler {
public:
    // showLiveSamples runs after each sample that was pushed.
    LiveSampler(Session& session, std::function<void()> showLiveSamples);

    void Tick();

private:
    void RunPhase();
    void ReadSample();

    Session& session_;
    std::function<void()> showLiveSamples_;
    // A tick's exchange serves events while it waits; the next ticks must not
    // start a second exchange in the middle of it.
    bool ticking_ = false;
};
