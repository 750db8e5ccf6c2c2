#include "app/LiveSampler.h"

#include "app/LiveReadings.h"
#include "app/Session.h"
#include "core/ErrorTrap.h"
#include "core/SampleRecord.h"
#include "link/ExchangeGuard.h"

#include <optional>

#include <utility>

namespace {

const QByteArray kStartSample = QByteArray::fromHex("0901");
const QByteArray kReadSample = QByteArray::fromHex("0A");
constexpr int kSampleFrameSize = 24;
constexpr int kSampleFollows = 0xFA;
constexpr int kNoSample = 0xFD;

} // namespace

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
        session_.Link.SendFrame(kStartSample, 0);
        session_.Link.ReadReplyByte(session_.Connection.ReplyTicks);
    } else if ((phase == ContinuousRead && window.SamplingContinuously)
               || (phase == OneShotRead && window.AwaitingSample)) {
        ReadSample();
    } else if (window.SamplingContinuously && window.SamplePhase >= CycleLength) {
        window.SamplePhase = StartSample;
    }
}

void LiveSampler::ReadSample()
{
    if (!session_.Link.SendFrame(kReadSample, 0)) {
        return;
    }
    const int reply = session_.Link.ReadReplyByte(session_.Connection.ReplyTicks);
    if (reply == kSampleFollows) {
        QByteArray frame(kSampleFrameSize, '\0');
        LiveSample sample;
        if (session_.Link.ReceiveFrame(frame)) {
            CompactSampleFrame(frame, session_.Logger.NumAnalogChannels, session_.Logger.NumDigitalChannels);
            if (DecodeSampleRecord(frame, 0, 10, sample)) {
                PushLiveSample(session_, sample);
                showLiveSamples_();
            }
        }
    } else if (reply == kNoSample) {
        PushLiveSample(session_, MissingSample());
        showLiveSamples_();
    }
    if (session_.Window.SamplingContinuously) {
        session_.Commands.ReadLoggerStatus();
    }
    if (session_.Window.AwaitingSample) {
        session_.Window.AwaitingSample = false;
    }
}
