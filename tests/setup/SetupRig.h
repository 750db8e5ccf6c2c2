#pragma once

#include "NullBusyCursor.h"
#include "RecordingPrompter.h"
#include "ScriptedFileDialogs.h"
#include "config/DefaultSettings.h"
#include "config/LoggerSettings.h"
#include "config/Rating.h"
#include "core/ProgramOptions.h"
#include "link/LinkState.h"
#include "setup/ui/SetupWindow.h"

#include <QTest>
#include <memory>

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

// The setup window as the main window opens it (connected, the line free) over a logger with factory settings,
// active, so that clicks move the focus as they do for a user.
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
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get())) {
            qFatal("the setup window did not become active");
        }
        return *window;
    }

    template <typename Control = QWidget>
    Control* control(const QString& name) const
    {
        if (auto* found = window->findChild<Control*>(name)) {
            return found;
        }
        qFatal("no control %s", qPrintable(name));
    }
};

// The boxes shown against those expected, each as "title|icon|text", the icon by its initial (N, I, Q, W or E); an
// expected box that ends in "..." is compared by its start.
inline QStringList Shown(const RecordingPrompter& prompter, const QStringList& expected)
{
    QStringList shown;
    for (const auto& m : prompter.messages) {
        const QString box = m.title + "|" + QString("NIQWE")[int(m.icon)] + "|" + m.text;
        const QString start = expected.value(shown.size());
        shown << (start.endsWith("...") ? box.left(start.size() - 3) + "..." : box);
    }
    return shown;
}

#define BREVEL_COMPARE_BOXES(prompter, ...) \
    QCOMPARE(Shown((prompter), QStringList(__VA_ARGS__)), QStringList(__VA_ARGS__))
