#pragma once

#include "setup/SetupContext.h"

class LoggerCommands;

// The setup window's exchanges over the logger link: programming through the
// command set, live raw counts for the calibration wizard.
class LoggerSetupLink : public SetupLink {
public:
    explicit LoggerSetupLink(LoggerCommands& commands) : commands_(commands) {}

    bool ProgramSettings() override;
    bool ConfirmSettings() override;
    void StartSample() override;
    std::optional<LiveSample> ReadSample() override;

private:
    LoggerCommands& commands_;
};
