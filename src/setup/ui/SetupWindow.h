#pragma once

#include "link/ExchangeGuard.h"
#include "setup/SetupContext.h"

#include <QByteArray>
#include <QDialog>
#include <array>
#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimer;
class FieldGuard;
class SetupFileCommands;

// frmSetup: the modal editor of the logger settings. It edits the
// program-wide record in place; Program writes it to the logger, the File
// menu to and from setup files.
class SetupWindow : public QDialog {
    Q_OBJECT
public:
    explicit SetupWindow(SetupContext context, QWidget* parent = nullptr);
    ~SetupWindow() override;

    void ShowSettingsInEditor();
    void ReadSettingsFromEditor();
    // true when the user cancelled (the window must stay open).
    bool ConfirmFileSaved();
    bool ConfirmProgrammed();
    void Program();
    void InitializeToDefaults();
    bool SaveSetup();
    void LoadSetup();
    void LoadRecentFile(int index);
    void Calibrate(int channel);
    void EnableFlowFields();
    void TickTimer();

    // Runs the check of the field the user was in last, as leaving it would,
    // wherever the focus is now; false (with a message saying why) when the
    // field refuses its value, and the user is back in it.
    bool CommitLastField();

    const std::optional<QByteArray>& SavedImage() const { return savedImage_; }
    const std::optional<QByteArray>& LoggerImage() const { return loggerImage_; }
    const QString& SetupFileName() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void BuildMenus();
    QWidget* BuildAnalogPage();
    QWidget* BuildDigitalPage();
    QWidget* BuildGeneralPage();
    QWidget* BuildFlowPage();
    void InstallFieldChecks();
    void FillLists();
    void ShowPage(int index);
    void ShowChannelInEditor(int channel);
    void CheckFirstChannelUnits();
    std::optional<QByteArray> CurrentImage();
    // The line for Program and Calibrate, refused while another exchange runs.
    ExchangeGuard TakeLine();
    bool ProgramAndConfirm();
    bool EnabledChannelsHaveScales();

    SetupContext ctx_;
    std::unique_ptr<SetupFileCommands> files_;
    // The settings as last saved to or loaded from a file, and as last read
    // from or programmed into the logger; nothing when they could not be encoded.
    std::optional<QByteArray> savedImage_;
    std::optional<QByteArray> loggerImage_;
    int shownPage_ = -1;
    FieldGuard* guard_ = nullptr;
    QMenuBar* menuBar_ = nullptr;

public:
    // The window's controls, named as the program's documentation names them.
    QTabWidget* TabStrip = nullptr;
    std::array<QWidget*, 4> Frames{};
    QTimer* Timer1 = nullptr;

    std::array<QGroupBox*, 8> fraSetup{};
    std::array<QCheckBox*, 8> chkEnable{};
    std::array<QComboBox*, 8> cmbEU{};
    std::array<QLineEdit*, 8> txtHighEU{};
    std::array<QLineEdit*, 8> txtLowEU{};
    std::array<QLineEdit*, 8> txtHighRaw{};
    std::array<QLineEdit*, 8> txtLowRaw{};
    std::array<QLineEdit*, 8> txtTop{};
    std::array<QLineEdit*, 8> txtBottom{};
    std::array<QComboBox*, 8> cmbPrecision{};
    std::array<QPushButton*, 8> cmdCalibrate{};

    std::array<QGroupBox*, 2> fraPulse{};
    std::array<QCheckBox*, 2> chkPulseEnable{};
    std::array<QComboBox*, 2> cmbPulseEU{};
    std::array<QLineEdit*, 2> txtPulseUnit{};
    std::array<QComboBox*, 2> cmbPulsePrecision{};

    QLineEdit* txtName = nullptr;
    QComboBox* cmbWarmup = nullptr;
    QComboBox* cmbBaud = nullptr;
    QRadioButton* optPeriodic = nullptr;
    QLineEdit* txtSampleInterval = nullptr;
    QComboBox* cmbSampleInterval = nullptr;
    QRadioButton* optFastMode = nullptr;
    QRadioButton* optLogarithmic = nullptr;
    QCheckBox* chkException = nullptr;
    QLineEdit* txtException = nullptr;
    QCheckBox* chkSOD = nullptr;
    std::array<QCheckBox*, 2> chkAlarm{};
    std::array<QLabel*, 2> lblAlarm{};
    std::array<QLineEdit*, 2> txtAlarm{};
    std::array<QComboBox*, 2> cmbAlarm{};
    QCheckBox* chkWrap = nullptr;

    QRadioButton* optNoFlow = nullptr;
    QRadioButton* optMannings = nullptr;
    QRadioButton* optFlume = nullptr;
    QRadioButton* optWeir = nullptr;
    QRadioButton* optTable = nullptr;
    QComboBox* cmbFlume = nullptr;
    QComboBox* cmbWeir = nullptr;
    QLineEdit* txtTableFile = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QComboBox* cmbFlowUnits = nullptr;
    QLineEdit* txtFlowTop = nullptr;
    QLineEdit* txtOffset = nullptr;
    QComboBox* cmbOffsetUnits = nullptr;
    QGroupBox* frmMannings = nullptr;
    std::array<QLabel*, 5> lblM{}; // lblM1 to lblM5
    QLineEdit* txtDiameter = nullptr;
    QComboBox* cmbDiameterUnits = nullptr;
    QLineEdit* txtSlope = nullptr;
    QComboBox* cmbSlopeUnits = nullptr;
    QComboBox* cmbRoughness = nullptr;
    QComboBox* cmbVelUnits = nullptr;
    QLineEdit* txtVelTop = nullptr;

    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    QAction* mnuSave = nullptr;
    QAction* mnuLoad = nullptr;
    QAction* mnuSep1 = nullptr;
    std::array<QAction*, 4> mnuHist{};
    QAction* mnuExit = nullptr;
    QAction* mnuDownload = nullptr;
    QAction* mnuInitialize = nullptr;
    QAction* mnuLaunchHelp = nullptr;
    QAction* mnuAbout = nullptr;
};
