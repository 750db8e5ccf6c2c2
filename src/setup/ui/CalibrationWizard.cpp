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
#include <array>

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

bool IsRawCountStep(CalibrationWizard::Step step)
{
    return step == CalibrationWizard::Step::UpperRaw || step == CalibrationWizard::Step::LowerRaw;
}

} // namespace

CalibrationWizard::CalibrationWizard(const LinkState& line, bool errorTrapping, SetupLink& link, Prompter& prompter,
                                     int channel, QWidget* parent)
    : QDialog(parent), line_(line), link_(link), prompter_(prompter), channel_(channel)
{
    setObjectName(QStringLiteral("frmCalibrate"));
    setWindowTitle(QStringLiteral("Calibrate"));
    setModal(true);
    if (parent != nullptr) {
        setWindowIcon(parent->windowIcon());
    }

    frame_ = new QGroupBox;
    frame_->setObjectName(QStringLiteral("Frame1"));
    prompt_ = new QLabel;
    prompt_->setObjectName(QStringLiteral("lblCalibrate"));
    value_ = new QLineEdit;
    value_->setObjectName(QStringLiteral("txtCalibrate"));
    auto* frameLayout = new QVBoxLayout(frame_);
    frameLayout->addWidget(prompt_);
    frameLayout->addWidget(value_);
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
    back_ = button(QStringLiteral("< &Back"), "cmdBack");
    next_ = button(QStringLiteral("&Next >"), "cmdNext");
    cancel_ = button(QStringLiteral("Cancel"), "cmdCancel");
    help_ = button(QStringLiteral("Help"), "cmdHelp");
    next_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(help_);
    buttons->addStretch();
    buttons->addWidget(back_);
    buttons->addWidget(next_);
    buttons->addSpacing(8);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame_);
    layout->addLayout(buttons);
    setMinimumWidth(380);

    sampleTimer_ = new QTimer(this);
    sampleTimer_->setObjectName(QStringLiteral("Timer1"));
    sampleTimer_->setInterval(250);
    connect(sampleTimer_, &QTimer::timeout, this, &CalibrationWizard::ShowLiveCount);

    guard_ = new FieldGuard(prompter, errorTrapping, this);
    guard_->Guard(value_, QStringLiteral("The value"),
                  [this](const QString& text) { return CheckCalibrationValue(int(step_), text); });

    connect(next_, &QPushButton::clicked, this, [this] {
        if (guard_->Leave(value_)) {
            EndStep(StepEnd::Next);
        }
    });
    connect(help_, &QPushButton::clicked, this,
            [this] { prompter_.Tell(Title, HelpText, PromptIcon::Information); });
    connect(back_, &QPushButton::clicked, this, [this] { EndStep(StepEnd::Back); });
    connect(cancel_, &QPushButton::clicked, this, [this] { EndStep(StepEnd::Cancel); });
}

CalibrationWizard::StepEnd CalibrationWizard::RunStep(Step step, const QString& value)
{
    static const QString prompts[] = {QStringLiteral("Enter the highest value in engineering units:"),
                                      QStringLiteral("Press Next when the value is settled:"),
                                      QStringLiteral("Enter the lowest value in engineering units:"),
                                      QStringLiteral("Press Finish when the value is settled:")};
    step_ = step;
    prompt_->setText(prompts[int(step) - 1]);
    value_->setText(value);
    if (step == Step::UpperValue) {
        back_->setEnabled(false);
    } else if (step == Step::UpperRaw) {
        back_->setEnabled(true);
    } else if (step == Step::LowerValue) {
        next_->setText(QStringLiteral("Next"));
    } else {
        next_->setText(QStringLiteral("Finish"));
    }
    result_ = StepEnd::None;
    if (IsRawCountStep(step)) {
        sampleTicks_ = 0;
        sampleTimer_->start();
    }
    value_->setFocus();
    value_->selectAll();
    exec();
    sampleTimer_->stop();
    sampleTicks_ = 0;
    return result_;
}

void CalibrationWizard::EndStep(StepEnd result)
{
    sampleTimer_->stop();
    result_ = result;
    QDialog::done(result == StepEnd::Next ? Accepted : Rejected);
}

// The close box and Escape cancel, as the Cancel button does.
void CalibrationWizard::reject()
{
    EndStep(StepEnd::Cancel);
}

void CalibrationWizard::ShowLiveCount()
{
    // A slow reply lets the next tick in while this one waits: skip it.
    if (!line_.Connected || sampling_) {
        return;
    }
    sampling_ = true;
    QPointer<CalibrationWizard> self(this);
    if (sampleTicks_ == 0) {
        sampleTicks_ = 1;
        link_.StartSample();
    } else {
        ++sampleTicks_;
        const auto sample = link_.ReadSample();
        if (self && sample && channel_ < 10 && sampleTimer_->isActive()) {
            value_->setText(QString::number(sample->Values[channel_]));
        }
    }
    if (self) {
        sampling_ = false;
    }
}

QString CalibrationWizard::Value() const
{
    return value_->text();
}

bool RunCalibrationWizard(const LinkState& line, bool errorTrapping, SetupLink& link, Prompter& prompter, int channel,
                          const QString& caption, CalibrationPoints& points, QWidget* parent)
{
    using Step = CalibrationWizard::Step;
    CalibrationWizard wizard(line, errorTrapping, link, prompter, channel, parent);
    wizard.setWindowTitle(caption);
    CalibrationPoints working = points;
    const std::array<QString*, 4> values{&working.UpperValue, &working.UpperRaw, &working.LowerValue,
                                         &working.LowerRaw};
    Step step = Step::UpperValue;
    while (true) {
        QString* value = values[int(step) - 1];
        const CalibrationWizard::StepEnd result = wizard.RunStep(step, *value);
        if (result == CalibrationWizard::StepEnd::Back && step != Step::UpperValue) {
            step = Step(int(step) - 1);
            continue;
        }
        if (result != CalibrationWizard::StepEnd::Next) {
            return false;
        }
        *value = wizard.Value();
        if (step == Step::LowerRaw && LeadingNumber(working.LowerRaw) == LeadingNumber(working.UpperRaw)) {
            // Equal raw counts would give the channel no scale: the last step stays.
            prompter.Tell(Title,
                          QStringLiteral("Warning: the lower point's raw count equals the upper point's (%1), so the "
                                         "channel could not be scaled.\r\nWait for the reading to change, type "
                                         "another count, or go Back to measure the upper point again.")
                              .arg(working.LowerRaw),
                          PromptIcon::Warning);
            continue;
        }
        if (step == Step::LowerRaw) {
            points = working;
            return true;
        }
        step = Step(int(step) + 1);
    }
}
