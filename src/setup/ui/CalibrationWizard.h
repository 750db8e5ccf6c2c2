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
    // Each point's engineering value, then the raw count measured at it.
    enum class Step { UpperValue = 1, UpperRaw, LowerValue, LowerRaw };
    // How a step ended: the button that closed it (Escape and the close box cancel).
    enum class StepEnd { None, Next, Back, Cancel };

    // Runs inside the exchange of the setup window's Calibrate, which holds the line.
    CalibrationWizard(const LinkState& line, bool errorTrapping, SetupLink& link, Prompter& prompter, int channel,
                      QWidget* parent = nullptr);

    // Sets the window up for a step, shows it modally and returns how it ended.
    StepEnd RunStep(Step step, const QString& value);
    Step CurrentStep() const { return step_; }
    QString Value() const;

protected:
    void reject() override;

private:
    void EndStep(StepEnd result);
    void ShowLiveCount();

    const LinkState& line_;
    SetupLink& link_;
    Prompter& prompter_;
    const int channel_;
    Step step_ = Step::UpperValue;
    StepEnd result_ = StepEnd::None;
    int sampleTicks_ = 0; // ticks since the raw-count step was shown
    bool sampling_ = false;
    FieldGuard* guard_ = nullptr;
    QLabel* prompt_ = nullptr;
    QLineEdit* value_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* help_ = nullptr; // explains the steps
    QGroupBox* frame_ = nullptr;
    QTimer* sampleTimer_ = nullptr;
};

// Runs the four steps for one channel. True when the user finished, and
// points then holds the four values; false (points untouched) on Cancel.
bool RunCalibrationWizard(const LinkState& line, bool errorTrapping, SetupLink& link, Prompter& prompter, int channel,
                          const QString& caption, CalibrationPoints& points, QWidget* parent);
