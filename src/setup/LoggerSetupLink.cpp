#include "setup/LoggerSetupLink.h"

#include "config/LoggerSettings.h"
#include "core/SampleRecord.h"
#include "link/FrameCodec.h"
#include "link/LoggerCommands.h"
#include "link/LoggerLink.h"

namespace {

// Four bytes of packed time and ten raw counts of two bytes.
constexpr int SampleFrameSize = 24;

} // namespace

LoggerSetupLink::LoggerSetupLink(LoggerLink& link, LoggerCommands& commands, const LoggerSettings& settings)
    : link_(link), commands_(commands), settings_(settings)
{
}

bool LoggerSetupLink::ProgramSettings()
{
    return commands_.ProgramSettings();
}

bool LoggerSetupLink::ConfirmSettings()
{
    return commands_.ConfirmSettings();
}

void LoggerSetupLink::StartSample()
{
    const char request[] = {char(Command::StartSample), 1};
    link_.SendFrame(QByteArray(request, sizeof request), 0);
    link_.ReadReplyByte(link_.State().ReplyTicks); // whatever it is, the next read tells
}

std::optional<LiveSample> LoggerSetupLink::ReadSample()
{
    if (!link_.SendFrame(QByteArray(1, char(Command::ReadSample)), 0) ||
        link_.ReadReplyByte(link_.State().ReplyTicks) != Frame::Acknowledge) {
        return std::nullopt; // 0xFD: the logger has no sample yet
    }
    QByteArray frame(SampleFrameSize, '\0');
    if (!link_.ReceiveFrame(frame)) {
        return std::nullopt;
    }
    CompactSampleFrame(frame, settings_.NumAnalogChannels, settings_.NumDigitalChannels);
    LiveSample sample;
    if (!DecodeSampleRecord(frame, 0, 10, sample)) {
        return std::nullopt;
    }
    return sample;
}
