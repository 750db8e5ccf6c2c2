// The setup window's commands: Program, the change checks and closing,
// Initialize, and the calibration of a channel.
#include "setup/ui/SetupWindow.h"

#include "config/DefaultSettings.h"
#include "config/LoggerSettings.h"
#include "config/SettingsImage.h"
#include "core/ProgramOptions.h"
#include "link/ExchangeGuard.h"
#include "link/LinkState.h"
#include "core/ErrorTrap.h"
#include "platform/BusyCursor.h"
#include "platform/Prompter.h"
#include "setup/ui/AnalogPage.h"
#include "setup/ui/CalibrationWizard.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QTimer>

namespace {

const QString ProgramTitle = QStringLiteral("Program Settings");
const QString ProgramFailed = QStringLiteral("Error: programming not completed successfully.");

} // namespace

std::optional<QByteArray> SetupWindow::CurrentImage()
{
    return EncodeSettings(ctx_.Settings, ctx_.Options.ErrorTrapping);
}

ExchangeGuard SetupWindow::TakeLine()
{
    return ExchangeGuard(ctx_.Connection, ctx_.SamplingContinuously);
}

// Programs the record as the editor last read it and confirms it. A record
// that cannot be encoded is never sent.
bool SetupWindow::ProgramAndConfirm()
{
    return RunTrapped(
        ctx_.Options.ErrorTrapping,
        [this] {
            const auto image = CurrentImage();
            if (!image || !ctx_.Link.ProgramSettings() || !ctx_.Link.ConfirmSettings()) {
                return false;
            }
            loggerImage_ = *image;
            return true;
        },
        [] { return false; });
}

// Two equal raw counts give a channel no scale: every reading would show its
// Low EU. Refused for a channel in use, with the user put in its Low Raw.
bool SetupWindow::ChannelsHaveScales()
{
    const auto unscaled = analog_->ChannelWithoutScale();
    if (!unscaled) {
        return true;
    }
    ctx_.Prompts.Tell(ProgramTitle,
                      QStringLiteral("Error: channel %1 has the same High Raw and Low Raw (%2), so its readings "
                                     "cannot be scaled.\r\nEnter two different raw counts, or untick the "
                                     "channel's Enable.")
                          .arg(unscaled->Channel + 1)
                          .arg(unscaled->Raw),
                      PromptIcon::Error);
    analog_->ShowLowRaw(unscaled->Channel);
    return false;
}

bool SetupWindow::CancelledOverUnsavedChanges()
{
    StoreSettings();
    if (ImagesEqual(CurrentImage(), savedImage_)) {
        return false;
    }
    const PromptAnswer answer =
        ctx_.Prompts.Ask(QStringLiteral("Data Has Changed"),
                         QStringLiteral("The settings information has changed without being saved to a file.\r\n"
                                        "Do you want to save it now?"),
                         PromptIcon::Information, PromptButtons::YesNoCancel);
    if (answer == PromptAnswer::No) {
        return false;
    }
    if (answer == PromptAnswer::Yes) {
        return !SaveSetup();
    }
    return true;
}

bool SetupWindow::CancelledOverUnprogrammedChanges()
{
    StoreSettings();
    if (ImagesEqual(CurrentImage(), loggerImage_)) {
        return false;
    }
    const PromptAnswer answer = ctx_.Prompts.Ask(
        QStringLiteral("Data Has Changed"),
        QStringLiteral("The settings information has changed without being programmed to the logger.\r\n"
                       "If you exit now, the settings information will be restored from the current contents of "
                       "the logger.\r\n"
                       "Do you want to program the logger now?"),
        PromptIcon::Information, PromptButtons::YesNoCancel);
    if (answer == PromptAnswer::No) {
        return false;
    }
    if (answer == PromptAnswer::Yes && !ChannelsHaveScales()) {
        return true;
    }
    if (answer == PromptAnswer::Yes) {
        ExchangeGuard exchange = TakeLine();
        if (exchange) {
            BusyScope wait(ctx_.Cursor);
            if (ProgramAndConfirm()) {
                return false;
            }
        }
    }
    if (answer == PromptAnswer::Yes) {
        ctx_.Prompts.Tell(ProgramTitle, ProgramFailed, PromptIcon::Error);
    }
    return true;
}

void SetupWindow::Program()
{
    ExchangeGuard exchange = TakeLine();
    if (!exchange || !CommitLastField() || !ChannelsHaveScales()) {
        return;
    }
    closeButton_->setEnabled(false);
    RunTrapped(
        ctx_.Options.ErrorTrapping,
        [this] {
            if (ctx_.Prompts.AskBeforeLoss(ProgramTitle,
                                           QStringLiteral("Are you sure you want to program settings into logger memory?"),
                                           PromptIcon::Information, PromptButtons::YesNo) != PromptAnswer::Yes) {
                return;
            }
            bool programmed = false;
            {
                BusyScope wait(ctx_.Cursor);
                StoreSettings();
                programmed = ProgramAndConfirm();
            }
            if (programmed) {
                closeButton_->setEnabled(true);
                closeButton_->setFocus();
            } else {
                ctx_.Prompts.Tell(ProgramTitle, ProgramFailed, PromptIcon::Error);
            }
        },
        [this] {
            ctx_.Prompts.Tell(ProgramTitle,
                              QStringLiteral("Error: unable to complete operation. Check that setup data is valid "
                                             "and connection is working."),
                              PromptIcon::Error);
        });
    closeButton_->setEnabled(true);
}

void SetupWindow::closeEvent(QCloseEvent* event)
{
    if (ctx_.Connection.Busy || !CommitLastField() || CancelledOverUnsavedChanges() || CancelledOverUnprogrammedChanges()) {
        event->ignore();
        return;
    }
    refreshTimer_->stop();
    event->accept();
    QDialog::reject();
}

// Escape closes the window the same way the close box does.
void SetupWindow::reject()
{
    close();
}

void SetupWindow::InitializeToDefaults()
{
    if (ctx_.Connection.Busy) {
        return; // Program is talking to the logger
    }
    if (ctx_.Prompts.AskBeforeLoss(QStringLiteral("Initialize to Default Values"),
                                   QStringLiteral("This action will reset all setup values to defaults, but will not "
                                                  "program the\r\nvalues into the logger until the Program button is "
                                                  "clicked. Do you want to proceed?"),
                                   PromptIcon::Question, PromptButtons::YesNo) != PromptAnswer::Yes) {
        return;
    }
    ApplyDefaultSettings(ctx_.Settings, ctx_.Rating);
    ShowSettings();
}

void SetupWindow::Calibrate(int channel)
{
    ExchangeGuard exchange = TakeLine();
    if (!exchange || !CommitLastField()) {
        return;
    }
    CalibrationPoints points = analog_->StartingPoints(channel);
    const QString caption = QStringLiteral("Calibrate Channel %1 (%2)").arg(channel + 1).arg(analog_->UnitName(channel));
    if (RunCalibrationWizard(ctx_.Connection, ctx_.Options.ErrorTrapping, ctx_.Link, ctx_.Prompts, channel, caption,
                             points, this)) {
        analog_->TakePoints(channel, points);
    }
}
