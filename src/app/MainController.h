#pragma once

#include "app/LiveSampler.h"
#include "app/MeterLayout.h"
#include "app/TickSource.h"
#include "history/ui/OpenHistoryGraph.h"
#include "history/ui/SaveHistoryToArchive.h"
#include "link/ExchangeGuard.h"

#include <QColor>
#include <QObject>
#include <QTimer>
#include <array>
#include <functional>

class MainWindow;
struct Session;

// How the main window opens the graphs; the application provides them, so
// that the window needs no graph code. Empty: no graph.
struct GraphOpeners {
    OpenHistoryGraph history;   // the history table's Graph button
    std::function<void()> live; // Action > Live Graph
};

// What the main window does: start-up, its two 100 ms timers, Help, About,
// File > Exit and the normal close. The window itself only holds controls.
class MainController : public QObject {
    Q_OBJECT
public:
    // On the program's own 100 ms timers.
    MainController(Session& session, MainWindow& window, QObject* parent = nullptr);
    // On the ticks given, which must outlive the controller.
    MainController(Session& session, MainWindow& window, TickSource& ticks, QObject* parent = nullptr);

    // Start-up up to and including switching the timers on: the command line
    // is the whole text after the program name; the folder holds the manual
    // and the catalogues.
    void StartUp(const QString& commandLine, const QString& appFolder);

    void StatusTick();
    void SampleTick() { sampler_.Tick(); }

    // Fills the meter columns, pulse labels and logger time from the sample history.
    void ShowLiveSamples();
    // The settings record on the main window: flow display, schedule, warm-up,
    // alarms, channel ranges and units, pulse frames.
    void ShowSettingsSummary();

    // The logger actions of the main window.
    void ConnectAction();
    void GetSample();
    void SynchronizeTime();
    void ClearHistory();
    void GetHistory();
    void Setup();
    void ResetPulseAccumulators();
    void ShowFirmwareVersion();

    void SetGraphOpeners(GraphOpeners openers) { graphs_ = std::move(openers); }
    // The history table's Save to Archive; empty: no such button.
    void SetHistoryArchiver(SaveHistoryToArchive archiver) { archiver_ = std::move(archiver); }

    TickSource& Ticks() { return ticks_; }
    const MeterLayout& Layout() const { return layout_; }

    void LaunchHelp();
    void ShowAbout();

    // The flow-mode frame and the Flow and Velocity columns from the settings
    // (first thing in every settings summary, and when the connection changes).
    void RefreshFlowDisplay();
    // After settings were read: makes the programmed flume, weir or flow table
    // the current rating and tells the user when it cannot be found.
    void SelectProgrammedFlowSource();
    // The Flow and Velocity values of the five newest samples from channel 1's
    // levels (-1 where missing), into the shown columns.
    void ShowFlowReadings(const std::array<double, 5>& levels);

signals:
    // File > Exit: the program ends at once, nothing is written.
    void exitRequested();
    // A live sample was shown: the meter columns hold its values.
    void liveSamplesShown();

private:
    void ConnectActions();
    // The line for an exchange with the logger; refused while another runs
    // or continuous sampling holds the line.
    ExchangeGuard TakeLine(ExchangeNeeds needs = ExchangeNeeds::ConnectedLogger);
    void RunGuarded(const std::function<void()>& body);
    void RunThenReadStatusAndClock(const std::function<void()>& command);
    bool ReadSettings();
    void OpenSetupWindow();
    void ForgetLogger();
    void Disconnect();
    bool DisconnectLostLogger();
    bool CheckLoggerAfterConnect();
    bool InitialiseLogger();
    void RefreshConnectionControls();
    void ResetMeterColumns();
    void PlaceFlowModePanel();
    void DrawBars();
    void ShowColumnLabels();
    void ShowUnitsWarning();
    void WindowClosing();

    Session& session_;
    MainWindow& window_;
    TimerTicks ownTicks_;
    TickSource& ticks_;
    MeterLayout layout_;
    LiveSampler sampler_;
    bool closed_ = false; // the window has closed: the program is ending
    // The port went away under a connected logger; the status tick
    // disconnects once no action runs.
    bool portLost_ = false;
    GraphOpeners graphs_;
    SaveHistoryToArchive archiver_;
};

// The colours of the connection status label.
inline constexpr QColor kConnectedColour{0, 128, 0};
inline constexpr QColor kNotConnectedColour{192, 0, 0};

class QLabel;
void SetTextColour(QLabel* label, const QColor& colour);
