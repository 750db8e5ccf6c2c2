#pragma once

#include <QMainWindow>
#include <array>

class FlowModePanel;
class MeterFrame;
class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

// What the user asks of the main window, by button or menu item.
enum class MainCommand {
    OpenArchive,
    Exit,
    Connect,        // the Connect / Disconnect button
    ConnectMenu,    // Action > Connect
    DisconnectMenu, // Action > Disconnect
    SampleContinuouslyBox,
    SampleContinuouslyMenu,
    GetSample,
    GetHistory,
    LiveGraph,
    ClearHistory,
    SynchronizeTime,
    Setup,
    ResetPulseAccumulators,
    Help,
    About,
    CommunicationsLog,
    FirmwareVersion,
};

// The one-line status labels of the main window.
enum class StatusLabel {
    LoggerName,
    LoggerTime,
    ClockOffset, // in the status bar
    SampleInterval,
    Records,
    LoggingState,
    Warmup,
    Alarm1,
    Alarm2,
    Pulse1,
    Pulse2,
};

// The main window frmMain: its controls and their fixed layout. Every control
// carries the object name the manual and the tests know it by; what the
// controls do is wired up by the main window's controller.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int MeterCount = 8;

    explicit MainWindow(QWidget* parent = nullptr);

    MeterFrame& Meter(size_t column) { return *meters_.at(column); }
    FlowModePanel& FlowPanel() { return *flowPanel_; }

    // Written only when the text differs from what the label shows.
    void ShowStatus(StatusLabel label, const QString& text);
    // An alarm label, or a pulse channel's frame with its label.
    void EnableStatus(StatusLabel label, bool enabled);

    // The buttons, menu items and the Comm Status label for a logger that is
    // (or is not) connected.
    void ShowConnection(bool connected);
    // Continuous sampling holds the line: every logger action is off, while
    // the sampling switch, Connect and Firmware Version keep their state.
    void DisableActionsWhileSampling();
    bool SampleContinuouslyTicked() const;
    void TickSampleContinuously(bool ticked);

    // Geometry in twips, as laid out.
    static QRect MeterFrameTwips(int column);
    static int InnerWidthTwips();

signals:
    void CommandChosen(MainCommand command);
    // The user closes the window (not File > Exit); the window closes.
    void Closing();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildStatusFrames(QWidget* surface);
    void BuildButtons(QWidget* surface);
    void AddMenuItem(QMenu* menu, QAction*& item, const QString& name, const QString& text,
                     const QString& shortcut, bool enabled, MainCommand command);
    QPushButton* AddButton(QWidget* surface, const QString& name, const QString& text, int left, MainCommand command);
    QLabel* StatusLabelOf(StatusLabel label) const;

    QAction* mnuConnect_ = nullptr;
    QAction* mnuDisconnect_ = nullptr;
    QAction* mnuSampleContinuously_ = nullptr;
    QAction* mnuFirmwareVersion_ = nullptr;
    // Off while no logger is connected or sampling holds the line.
    std::array<QAction*, 6> loggerMenuItems_{};
    QPushButton* cmdConnect_ = nullptr;
    std::array<QPushButton*, 5> loggerButtons_{};
    QCheckBox* chkSampleContinuously_ = nullptr;
    QLabel* lblCommStatus_ = nullptr;
    std::array<QLabel*, 11> statusLabels_{}; // by StatusLabel
    QGroupBox* fraPulse1_ = nullptr;
    QGroupBox* fraPulse2_ = nullptr;
    std::array<MeterFrame*, MeterCount> meters_{};
    FlowModePanel* flowPanel_ = nullptr;
};
