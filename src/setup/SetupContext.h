#pragma once

#include "config/RecentFiles.h"
#include "core/LiveSample.h"
#include "flow/RatingCatalogue.h"

#include <QString>
#include <array>
#include <functional>
#include <optional>

struct LinkState;
struct ProgramOptions;
struct LoggerSettings;
struct RatingState;
class Prompter;
class FileDialogs;
class BusyCursor;

// The logger exchanges the setup window and its calibration wizard run.
class SetupLink {
public:
    virtual ~SetupLink() = default;
    // Writes the image of the program-wide record and reads it back; true
    // when every byte matched.
    virtual bool ProgramSettings() = 0;
    virtual bool ConfirmSettings() = 0;
    // Asks the logger to take one sample; the reply is not looked at.
    virtual void StartSample() = 0;
    // The logger's current sample, or nothing when it had none or the exchange failed.
    virtual std::optional<LiveSample> ReadSample() = 0;
};

// Everything the setup window works on, owned by the caller.
struct SetupContext {
    const ProgramOptions& Options;
    LinkState& Connection;
    // The main window's continuous sampling claims the line while it runs.
    const bool& SamplingContinuously;
    LoggerSettings& Settings;
    RatingState& Rating;
    Prompter& Prompts;
    FileDialogs& Dialogs;
    BusyCursor& Cursor;
    SetupLink& Link;
    RecentFileList& RecentFiles;
    QString& LastFilePath;
    QString AppFolder;
    const RatingCatalogues& Catalogues; // the flumes and weirs offered
    std::function<void()> ShowHelp;
    std::function<void()> ShowAbout;
};
