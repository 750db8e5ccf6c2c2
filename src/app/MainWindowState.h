#pragma once

#include <cstdint>

// The tick of the sampling cycle at which each exchange runs: continuous
// sampling starts a sample at StartSample and reads it at ContinuousRead,
// one cycle every CycleLength ticks; the one sample that Get Sample asks
// for is started at StartSample, started again at OneShotRestart and read
// at OneShotRead.
namespace SamplePhases {
inline constexpr int16_t StartSample = 0;
inline constexpr int16_t ContinuousRead = 5;
inline constexpr int16_t CycleLength = 10;
inline constexpr int16_t OneShotRestart = 10;
inline constexpr int16_t OneShotRead = 12;
} // namespace SamplePhases

// The main window's own state: what its controls last showed and where its
// live sampling stands.
struct MainWindowState {
    bool ShownConnected = false; // Connected as the buttons and menus were last enabled
    bool Loading = true;         // start-up is building the window: no bars yet
    bool SamplingContinuously = false;
    bool AwaitingSample = false; // Get Sample waits for one sample
    int16_t SamplePhase = SamplePhases::StartSample; // tick of the sampling cycle
    int16_t SampleWaitCountdown = 0; // 100 ms ticks left for Get Sample's sample
    int16_t DerivedColumnCount = 2;  // Flow and Velocity
    int16_t SampleCount = 0;         // valid entries of the live sample history, 0 to 5
};
