#include "app/LiveSampler.h"

#include "app/LiveReadings.h"
#include "app/Session.h"
#include "core/ErrorTrap.h"
#include "link/ExchangeGuard.h"

#include <optional>
#include <utility>

LiveSampler::LiveSampler(Session& session, std::function<void()> showLiveSamples)
    : session_(session), showLiveSamples_(std::move(showLiveSamples))
{
}

void LiveSampler::Tick()
{
    if (ticking_) {
        return;
    }
    if ((!session_.Window.SamplingContinuously && !session_.Window.AwaitingSample) || !session_.Connection.Connected) {
        return;
    }
    // Continuous sampling takes the line for each tick; the one sample that Get
    // Sample waits for is part of Get Sample's exchange, which holds the line.
    std::optional<ExchangeGuard> exchange;
    if (session_.Window.SamplingContinuously) {
        exchange.emplace(session_.Connection);
        if (!*exchange) {
            return;
        }
    }
    ticking_ = true;
    RunTrapped(session_.Options.ErrorTrapping, [this] { RunPhase(); }, [] {});
    ticking_ = false;
}

void LiveSampler::RunPhase()
{
    using namespace SamplePhases;
    MainWindowState& window = session_.Window;
    const int16_t phase = window.SamplePhase;
    window.SamplePhase = static_cast<int16_t>(phase + 1);
    if (phase == StartSample || (phase == OneShotRestart && window.AwaitingSample)) {
        session_.Commands.StartSample();
    } else if ((phase == ContinuousRead && window.SamplingContinuously)
               || (phase == OneShotRead && window.AwaitingSample)) {
        ReadSample();
    } else if (window.SamplingContinuously && window.SamplePhase >= CycleLength) {
        window.SamplePhase = StartSample;
    }
}

void LiveSampler::ReadSample()
{
    const LiveSampleOutcome outcome = session_.Commands.ReadLiveSample();
    // A request the logger did not take is tried again in the next cycle;
    // any answer to it, or none, ends the wait for this sample.
    if (outcome.Type == LiveSampleOutcome::Kind::NotAcknowledged) {
        return;
    }
    // "No sample" shows as a row of missing readings.
    if (outcome.Type == LiveSampleOutcome::Kind::Sample || outcome.Type == LiveSampleOutcome::Kind::NoSample) {
        PushLiveSample(session_, outcome.Sample);
        showLiveSamples_();
    }
    if (session_.Window.SamplingContinuously) {
        session_.Commands.ReadLoggerStatus();
    }
    if (session_.Window.AwaitingSample) {
        session_.Window.AwaitingSample = false;
    }
}
