#pragma once

#include <QDialog>
#include <QString>

struct LinkState;
class FieldGuard;
class Prompter;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class SetupLink;

// The two calibration points of a channel as the wizard's working texts.
struct CalibrationPoints {
    QString UpperValue;
    QString UpperRaw;
    QString LowerValue;
    QString LowerRaw;
};

// frmCalibrate: one window shown once per step. Between steps it is hidden,
// not closed, so what was typed survives going back.
class CalibrationWizard : public QDialog {
    Q_OBJECT
public:
    // Runs inside the exchange of the setup window's Calibrate, which holds the line.
    CalibrationWizard(const LinkState& line, bool errorTrapping, SetupLink& link, Prompter& prompter,
                      QWidget* parent = nullptr);

    // How a step ended: the button that closed it (Escape and the close box cancel).
    enum class StepEnd { None, Next, Back, Cancel };

    // Sets the window up for a step, shows it modally and returns how it ended.
    StepEnd RunStep(int step, const QString& value);

    int CalibrationStep = 0;
    int CalibrationChannel = 0;
    StepEnd WizardResult = StepEnd::None;
    int SampleTicks = 0;

    QLabel* lblCalibrate = nullptr;
    QLineEdit* txtCalibrate = nullptr;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr; // explains the steps
    QGroupBox* Frame1 = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    void reject() override;

private:
    void EndStep(StepEnd result);
    void TickTimer();

    const LinkState& line_;
    SetupLink& link_;
    Prompter& prompter_;
    FieldGuard* guard_ = nullptr;
    bool sampling_ = false;
};

// Runs the four steps for one channel. True when the user finished, and
// points then holds the four values; false (points untouched) on Cancel.
bool RunCalibrationWizard(const LinkState& line, bool errorTrapping, SetupLink& link, Prompter& prompter, int channel,
                          const QString& caption, CalibrationPoints& points, QWidget* parent);
