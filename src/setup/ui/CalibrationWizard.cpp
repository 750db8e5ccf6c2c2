#include "setup/ui/CalibrationWizard.h"

#include "link/LinkState.h"
#include "core/NumberText.h"
#include "platform/Prompter.h"
#include "setup/FieldChecks.h"
#include "setup/ui/FieldGuard.h"
#include "setup/SetupContext.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString Title = QStringLiteral("Calibrate");

const QString HelpText = QStringLiteral(
    "Calibration sets the channel's scale from two known points, an upper and a lower one.\r\n\r\n"
    "1. Type the engineering value of the upper point.\r\n"
    "2. Bring the sensor to that value. The box shows the raw count the logger measures now; press Next "
    "when it has settled.\r\n"
    "3. Type the engineering value of the lower point.\r\n"
    "4. Bring the sensor to the lower value and press Finish when the raw count has settled.\r\n\r\n"
    "The two points go into the channel's High and Low fields; Program Settings writes them to the logger. "
    "Back returns to the step before; Cancel leaves the fields as they were.");

bool IsRawCountStep(int step)
{
    return step == 2 || step == 4;
}

} // namespace

CalibrationWizard::CalibrationWizard(const LinkState& line, bool errorTrapping, SetupLink& link, Prompter& prompter,
                                     QWidget* parent)
    : QDialog(parent), line_(line), link_(link), prompter_(prompter)
{
    setObjectName(QStringLiteral("frmCalibrate"));
    setWindowTitle(QStringLiteral("Calibrate"));
    setModal(true);
    if (parent != nullptr) {
        setWindowIcon(parent->windowIcon());
    }

    Frame1 = new QGroupBox;
    Frame1->setObjectName(QStringLiteral("Frame1"));
    lblCalibrate = new QLabel;
    lblCalibrate->setObjectName(QStringLiteral("lblCalibrate"));
    txtCalibrate = new QLineEdit;
    txtCalibrate->setObjectName(QStringLiteral("txtCalibrate"));
    auto* frameLayout = new QVBoxLayout(Frame1);
    frameLayout->addWidget(lblCalibrate);
    frameLayout->addWidget(txtCalibrate);
    frameLayout->addStretch();

    auto button = [](const QString& caption, const char* name) {
        auto* b = new QPushButton(caption);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        // The buttons leave the focus in the value box, so going back or
        // cancelling does not first run the value's check.
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    cmdBack = button(QStringLiteral("< &Back"), "cmdBack");
    cmdNext = button(QStringLiteral("&Next >"), "cmdNext");
    cmdCancel = button(QStringLiteral("Cancel"), "cmdCancel");
    cmdHelp = button(QStringLiteral("Help"), "cmdHelp");
    cmdNext->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdHelp);
    buttons->addStretch();
    buttons->addWidget(cmdBack);
    buttons->addWidget(cmdNext);
    buttons->addSpacing(8);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);
    setMinimumWidth(380);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(250);
    connect(Timer1, &QTimer::timeout, this, &CalibrationWizard::TickTimer);

    guard_ = new FieldGuard(prompter, errorTrapping, this);
    guard_->Guard(txtCalibrate, QStringLiteral("The value"),
                  [this](const QString& text) { return CheckCalibrationValue(CalibrationStep, text); });

    connect(cmdNext, &QPushButton::clicked, this, [this] {
        if (guard_->Leave(txtCalibrate)) {
            EndStep(StepEnd::Next);
        }
    });
    connect(cmdHelp, &QPushButton::clicked, this,
            [this] { prompter_.tell(Title, HelpText, PromptIcon::Information); });
    connect(cmdBack, &QPushButton::clicked, this, [this] { EndStep(StepEnd::Back); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { EndStep(StepEnd::Cancel); });
}

CalibrationWizard::StepEnd CalibrationWizard::RunStep(int step, const QString& value)
{
    static const QString prompts[] = {QStringLiteral("Enter the highest value in engineering units:"),
                                      QStringLiteral("Press Next when the value is settled:"),
                                      QStringLiteral("Enter the lowest value in engineering units:"),
                                      QStringLiteral("Press Finish when the value is settled:")};
    CalibrationStep = step;
    lblCalibrate->setText(prompts[step - 1]);
    txtCalibrate->setText(value);
    if (step == 1) {
        cmdBack->setEnabled(false);
    } else if (step == 2) {
        cmdBack->setEnabled(true);
    } else if (step == 3) {
        cmdNext->setText(QStringLiteral("Next"));
    } else {
        cmdNext->setText(QStringLiteral("Finish"));
    }
    WizardResult = StepEnd::None;
    if (IsRawCountStep(step)) {
        SampleTicks = 0;
        Timer1->start();
    }
    txtCalibrate->setFocus();
    txtCalibrate->selectAll();
    exec();
    Timer1->stop();
    SampleTicks = 0;
    return WizardResult;
}

void CalibrationWizard::EndStep(StepEnd result)
{
    Timer1->stop();
    WizardResult = result;
    QDialog::done(result == StepEnd::Next ? Accepted : Rejected);
}

// The close box and Escape cancel, as the Cancel button does.
void CalibrationWizard::reject()
{
    EndStep(StepEnd::Cancel);
}

void CalibrationWizard::TickTimer()
{
    // A slow reply lets the next tick in while this one waits: skip it.
    if (!line_.Connected || sampling_) {
        return;
    }
    sampling_ = true;
    QPointer<CalibrationWizard> self(this);
    if (SampleTicks == 0) {
        SampleTicks = 1;
        link_.StartSample();
    } else {
        ++SampleTicks;
        const auto sample = link_.ReadSample();
        if (self && sample && CalibrationChannel < 10 && Timer1->isActive()) {
            txtCalibrate->setText(QString::number(sample->Values[CalibrationChannel]));
        }
    }
    if (self) {
        sampling_ = false;
    }
}

bool RunCalibrationWizard(const LinkState& line, bool errorTrapping, SetupLink& link, Prompter& prompter, int channel,
                          const QString& caption, CalibrationPoints& points, QWidget* parent)
{
    CalibrationWizard wizard(line, errorTrapping, link, prompter, parent);
    wizard.CalibrationChannel = channel;
    wizard.setWindowTitle(caption);
    CalibrationPoints working = points;
    int step = 1;
    while (true) {
        QString* value = step == 1   ? &working.UpperValue
                         : step == 2 ? &working.UpperRaw
                         : step == 3 ? &working.LowerValue
                                     : &working.LowerRaw;
        const CalibrationWizard::StepEnd result = wizard.RunStep(step, *value);
        if (result == CalibrationWizard::StepEnd::Back && step > 1) {
            --step;
            continue;
        }
        if (result != CalibrationWizard::StepEnd::Next) {
            return false;
        }
        *value = wizard.txtCalibrate->text();
        if (step == 4 && LeadingNumber(working.LowerRaw) == LeadingNumber(working.UpperRaw)) {
            // Equal raw counts would give the channel no scale: the last step stays.
            prompter.tell(Title,
                          QStringLiteral("Warning: the lower point's raw count equals the upper point's (%1), so the "
                                         "channel could not be scaled.\r\nWait for the reading to change, type "
                                         "another count, or go Back to measure the upper point again.")
                              .arg(working.LowerRaw),
                          PromptIcon::Warning);
            continue;
        }
        if (step == 4) {
            points = working;
            return true;
        }
        ++step;
    }
}
