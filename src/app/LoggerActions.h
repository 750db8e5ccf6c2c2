#pragma once

#include "history/ui/OpenHistoryGraph.h"
#include "history/ui/SaveHistoryToArchive.h"
#include "link/ExchangeGuard.h"

#include <QObject>
#include <functional>

class LiveReadingsView;
class MainFlowDisplay;
class MainWindow;
struct Session;

// What the logger actions ask of the rest of the main window.
struct LoggerActionHooks {
    std::function<void()> ShowSettingsSummary; // the settings record on the window
    std::function<void()> LaunchHelp;          // the setup window's Help and About
    std::function<void()> ShowAbout;
    std::function<bool()> WindowClosed;        // the program is ending: waits stop
};

// The main window's logger actions: connect and disconnect (and the port
// lost under a connected logger), Get Sample, Synchronize Time, Clear
// History, Setup, Reset Pulse Accumulators, Firmware Version and Get History.
// Each takes the line through the exchange guard.
class LoggerActions : public QObject {
    Q_OBJECT
public:
    LoggerActions(Session& session, MainWindow& window, LiveReadingsView& live, MainFlowDisplay& flow,
                  LoggerActionHooks hooks, QObject* parent = nullptr);

    void ConnectOrDisconnect();
    void GetSample();
    void SynchronizeTime();
    void ClearHistory();
    void GetHistory();
    void Setup();
    void ResetPulseAccumulators();
    void ShowFirmwareVersion();

    // The status tick: when the port went away under the connected logger
    // and no action runs, disconnects as Disconnect does; true when it did.
    bool DisconnectLostLogger();
    void TellConnectionLost();

    void SetHistoryGraph(OpenHistoryGraph graph) { historyGraph_ = std::move(graph); }
    void SetHistoryArchiver(SaveHistoryToArchive archiver) { archiver_ = std::move(archiver); }

private:
    // The line for an exchange with the logger; refused while another runs
    // or continuous sampling holds the line.
    ExchangeGuard TakeLine(ExchangeNeeds needs = ExchangeNeeds::ConnectedLogger);
    void RunGuarded(const std::function<void()>& body);
    void RunThenReadStatusAndClock(const std::function<void()>& command);
    bool ReadSettings();
    void OpenSetupWindow();
    void ForgetLogger();
    void Disconnect();
    bool CheckLoggerAfterConnect();
    bool InitialiseLogger();
    void WarnAboutFlowUnits();

    Session& session_;
    MainWindow& window_;
    LiveReadingsView& live_;
    MainFlowDisplay& flow_;
    LoggerActionHooks hooks_;
    // The port went away under a connected logger; the status tick
    // disconnects once no action runs.
    bool portLost_ = false;
    OpenHistoryGraph historyGraph_;
    SaveHistoryToArchive archiver_;
};
