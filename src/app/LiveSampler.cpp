#include "app/LiveSampler.h"

#include "app/LiveReadings.h"
#include "app/Session.h"
#include "core/ErrorTrap.h"
#include "core/SampleRecord.h"

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
    AppState& state = session_.State;
    if ((!state.SamplingContinuously && !state.AwaitingSample) || !state.Connected) {
        return;
    }
    if (state.SamplingContinuously) {
        if (state.Busy) {
            return;
        }
        state.Busy = true;
    }
    ticking_ = true;
    RunTrapped(state.ErrorTrapping, [this] { RunPhase(); }, [] {});
    ticking_ = false;
    if (!state.AwaitingSample) {
        state.Busy = false;
    }
}

void LiveSampler::RunPhase()
{
    AppState& state = session_.State;
    const int16_t phase = state.SamplePhase;
    if (phase == 0 || (phase == 10 && state.AwaitingSample)) {
        state.SamplePhase = static_cast<int16_t>(phase + 1);
        session_.Link.SendFrame(kStartSample, 0);
        session_.Link.ReadReplyByte(state.ReplyTicks);
    } else if ((phase == 5 && state.SamplingContinuously) || (phase == 12 && state.AwaitingSample)) {
        state.SamplePhase = static_cast<int16_t>(phase + 1);
        ReadSample();
    } else {
        state.SamplePhase = static_cast<int16_t>(phase + 1);
        if (state.SamplingContinuously && state.SamplePhase >= 10) {
            state.SamplePhase = 0;
        }
    }
}

void LiveSampler::ReadSample()
{
    AppState& state = session_.State;
    if (!session_.Link.SendFrame(kReadSample, 0)) {
        return;
    }
    const int reply = session_.Link.ReadReplyByte(state.ReplyTicks);
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
    if (state.SamplingContinuously) {
        session_.Commands.ReadLoggerStatus();
    }
    if (state.AwaitingSample) {
        state.AwaitingSample = false;
    }
}
