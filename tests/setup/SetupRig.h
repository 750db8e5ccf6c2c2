#pragma once

#include "NullBusyCursor.h"
#include "RecordingPrompter.h"
#include "ScriptedFileDialogs.h"
#include "config/DefaultSettings.h"
#include "config/LoggerSettings.h"
#include "core/ProgramOptions.h"
#include "link/LinkState.h"
#include "config/Rating.h"
#include "setup/ui/SetupWindow.h"

#include <QList>
#include <memory>

// A link whose answers the test scripts; it records what the window asked.
class FakeSetupLink : public SetupLink {
public:
    explicit FakeSetupLink(const LoggerSettings& settings) : settings_(settings) {}

    bool ProgramSettings() override
    {
        calls << "program";
        programmed = settings_;
        return programSucceeds;
    }
    bool ConfirmSettings() override
    {
        calls << "confirm";
        return confirmSucceeds;
    }
    void StartSample() override { calls << "start sample"; }
    std::optional<LiveSample> ReadSample() override
    {
        calls << "read sample";
        return sample;
    }

    bool programSucceeds = true;
    bool confirmSucceeds = true;
    std::optional<LiveSample> sample;
    QStringList calls;
    std::optional<LoggerSettings> programmed;

private:
    const LoggerSettings& settings_;
};

// The setup window over a three-channel logger with factory settings, opened
// as the main window opens it: connected, the line free.
struct SetupRig {
    ProgramOptions options;
    LinkState state{.Connected = true};
    bool samplingContinuously = false;
    LoggerSettings settings;
    RatingState rating;
    RecordingPrompter prompter;
    ScriptedFileDialogs dialogs;
    NullBusyCursor cursor;
    std::array<QString, 4> recent;
    QString lastFilePath;
    RatingCatalogues catalogues{{{.Tag = "PF3", .Name = "Parshall 3 in", .TableFile = {}},
                                 {.Tag = "PF6", .Name = "Parshall 6 in", .TableFile = {}}},
                                {{.Tag = "VN90", .Name = "V-notch 90", .TableFile = {}}}};
    FakeSetupLink link{settings};
    std::unique_ptr<SetupWindow> window;

    explicit SetupRig(int analogChannels = 3, int pulseChannels = 2)
    {
        settings.NumAnalogChannels = uint8_t(analogChannels);
        settings.NumDigitalChannels = uint8_t(pulseChannels);
        ApplyDefaultSettings(settings, rating);
    }

    SetupWindow& open()
    {
        window = std::make_unique<SetupWindow>(SetupContext{options, state, samplingContinuously, settings, rating,
                                                            prompter, dialogs, cursor, link, recent, lastFilePath,
                                                            QStringLiteral("/opt/brevel"), catalogues, {}, {}});
        window->show();
        return *window;
    }

    // The window's control of that name; a missing one ends the test program.
    template <typename Control = QWidget>
    Control* control(const QString& name) const
    {
        auto* found = window->findChild<Control*>(name);
        if (found == nullptr) {
            qFatal("no control %s", qPrintable(name));
        }
        return found;
    }

    QStringList titles() const
    {
        QStringList list;
        for (const auto& message : prompter.messages) {
            list << message.title;
        }
        return list;
    }
};
