#pragma once

#include <QMainWindow>
#include <array>

class MeterBar;
class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

// The controls of one meter column.
struct MeterWidgets {
    QGroupBox* fraMeter = nullptr; // the column frame; its title is the caption
    MeterBar* fraColumn = nullptr; // the bar frame
    QLabel* lblMin = nullptr;
    QLabel* lblMax = nullptr;
    QLabel* lblValue = nullptr;
    QLabel* lblUnits = nullptr;
    QLabel* lblHistory = nullptr;
};

// Every control of the main window, under the names the rest of the program
// knows them by (also their object names; array members end in the index,
// as in "lblMin3" and "lblAlarm1").
struct MainWidgets {
    QAction* mnuExit = nullptr;
    QAction* mnuConnect = nullptr;
    QAction* mnuDisconnect = nullptr;
    QAction* mnuSampleContinuously = nullptr;
    QAction* mnuGetSettings = nullptr;
    QAction* mnuGetHistoryData = nullptr;
    QAction* mnuLiveGraph = nullptr;
    QAction* mnuClearHistory = nullptr;
    QAction* mnuSynchronizeTime = nullptr;
    QAction* mnuSetup = nullptr;
    QAction* mnuResetPulseAccs = nullptr;
    QAction* mnuLaunchHelp = nullptr;
    QAction* mnuAbout = nullptr;
    QAction* mnuCommLog = nullptr;
    QAction* mnuFirmwareVersion = nullptr;

    QPushButton* cmdConnect = nullptr;
    QPushButton* cmdGetSettings = nullptr;
    QPushButton* cmdGetHistoryData = nullptr;
    QPushButton* cmdClearMemory = nullptr;
    QPushButton* cmdSynchronizeTime = nullptr;
    QPushButton* cmdSetup = nullptr;
    QCheckBox* chkSampleContinuously = nullptr;

    QLabel* lblLoggerName = nullptr;
    QLabel* lblDateTime = nullptr;
    QLabel* lblClockOffset = nullptr; // in the status bar, below the window's own layout
    QLabel* lblSampleInterval = nullptr;
    QLabel* lblRecordings = nullptr;
    QLabel* lblLoggingState = nullptr;
    QLabel* lblWarmup = nullptr;
    QLabel* lblCommStatus = nullptr;
    std::array<QLabel*, 2> lblAlarm{};
    QGroupBox* fraPulse1 = nullptr;
    QGroupBox* fraPulse2 = nullptr;
    QLabel* lblPulseValue1 = nullptr;
    QLabel* lblPulseValue2 = nullptr;

    std::array<MeterWidgets, 8> meters{};

    QGroupBox* fraFlowMode = nullptr;
    QLabel* lblFlowMode2 = nullptr; // "Flow Mode:"
    QLabel* lblFlowMode = nullptr;
    QLabel* lblFWT = nullptr;
    QLabel* lblFWT2 = nullptr;
    QLabel* lblOffset = nullptr; // "Level Offset:"
    QLabel* lblOffset2 = nullptr;
    QLabel* lblPipeDiameter = nullptr; // "Pipe Diameter:"
    QLabel* lblPipeDiameter2 = nullptr;
    QLabel* lblSlope = nullptr; // "Slope:"
    QLabel* lblSlope2 = nullptr;
    QLabel* lblRoughness = nullptr; // "Roughness:"
    QLabel* lblRoughness2 = nullptr;
};

// The main window frmMain: its controls and their fixed layout. What the
// controls do is wired up by the main window's controller.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    const MainWidgets& ui() const { return ui_; }

    // Geometry in twips, as laid out.
    static QRect MeterFrameTwips(int column);
    static QRect ColumnFrameTwips(); // the bar frame inside its column frame
    static int InnerWidthTwips();

signals:
    // The user closes the window (not File > Exit); the window closes.
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildStatusFrames(QWidget* surface);
    void buildButtons(QWidget* surface);
    void buildMeters(QWidget* surface);
    void buildFlowModePanel(QWidget* surface);

    MainWidgets ui_;
};
