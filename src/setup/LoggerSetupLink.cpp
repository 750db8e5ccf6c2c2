#include "setup/LoggerSetupLink.h"

#include "link/LoggerCommands.h"

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
    commands_.StartSample();
}

std::optional<LiveSample> LoggerSetupLink::ReadSample()
{
    // No sample (0xFD) and a failed read alike leave the reading as it was.
    const LiveSampleOutcome outcome = commands_.ReadLiveSample();
    if (outcome.Type != LiveSampleOutcome::Kind::Sample) {
        return std::nullopt;
    }
    return outcome.Sample;
}
