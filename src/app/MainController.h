#pragma once

#include "app/LiveReadingsView.h"
#include "app/LoggerActions.h"
#include "app/MainFlowDisplay.h"
#include "app/TickSource.h"

#include <QObject>
#include <functional>

class MainWindow;
enum class MainCommand;
struct Session;

// How the main window opens the graphs; the application provides them, so
// that the window needs no graph code. Empty: no graph.
struct GraphOpeners {
    OpenHistoryGraph History;   // the history table's Graph button
    std::function<void()> Live; // Action > Live Graph
};

// The main window's coordinator: start-up, the two 100 ms ticks, Help,
// About, File > Exit and the normal close; it wires the window's commands to
// the logger actions, the live readings and the flow display.
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

    // Keeps the window in step with the program's state; counts the link's
    // reply wait and Get Sample's wait for its sample down.
    void StatusTick();

    // The connect action that start-up runs once, as if the user pressed Connect.
    void ConnectAction() { actions_.ConnectOrDisconnect(); }
    void ShowLiveSamples() { live_.ShowLiveSamples(); }
    // The settings record on the main window: flow display, schedule, warm-up,
    // alarms, channel ranges and units, pulse frames.
    void ShowSettingsSummary();

    void SetGraphOpeners(GraphOpeners openers);
    // The history table's Save to Archive; empty: no such button.
    void SetHistoryArchiver(SaveHistoryToArchive archiver) { actions_.SetHistoryArchiver(std::move(archiver)); }

    TickSource& Ticks() { return ticks_; }

signals:
    // File > Exit: the program ends at once, nothing is written.
    void ExitRequested();
    // A live sample was shown: the meter columns hold its values.
    void LiveSamplesShown();

private:
    void RunCommand(MainCommand command);
    void ShowLoggerTexts();
    void RefreshConnectionControls();
    void LaunchHelp();
    void ShowAbout();
    void WindowClosing();

    Session& session_;
    MainWindow& window_;
    TimerTicks ownTicks_;
    TickSource& ticks_;
    MainFlowDisplay flow_;
    LiveReadingsView live_;
    LoggerActions actions_;
    std::function<void()> liveGraph_;
    bool closed_ = false; // the window has closed: the program is ending
};
