#pragma once

#include "setup/SetupContext.h"

class LoggerCommands;
class LoggerLink;
struct LoggerSettings;

// The setup window's exchanges over the logger link: programming through the
// command set, live raw counts for the calibration wizard.
class LoggerSetupLink : public SetupLink {
public:
    LoggerSetupLink(LoggerLink& link, LoggerCommands& commands, const LoggerSettings& settings);

    bool ProgramSettings() override;
    bool ConfirmSettings() override;
    void StartSample() override;
    std::optional<LiveSample> ReadSample() override;

private:
    LoggerLink& link_;
    LoggerCommands& commands_;
    const LoggerSettings& settings_;
};
