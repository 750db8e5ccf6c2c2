#include "app/LiveReadings.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/Session.h"
#include "config/SettingsSummary.h"
#include "link/ClockOffsetText.h"
#include "platform/Prompter.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {

// Labels are written only when their text changes.
void SetText(QLabel* label, const QString& text)
{
    if (label->text() != text) {
        label->setText(text);
    }
}

} // namespace

void SetTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

void MainController::StatusTick()
{
    const MainWidgets& ui = window_.ui();
    const LinkState& line = session_.Connection;
    LoggerStatus& status = session_.Status;
    MainWindowState& state = session_.Window;
    session_.Link.TickReplyCountdown();
    // Get Sample's wait for its sample is counted here, not on the sample
    // timer: a timer does not fire again while its own tick runs, and the
    // sample timer's tick waits as long as a silent logger keeps it.
    if (state.SampleWaitCountdown > 0) {
        --state.SampleWaitCountdown;
    }
    const bool lost = portLost_ && !line.Busy && DisconnectLostLogger();

    if (!line.Connected) {
        status.ClockOffsetSeconds.reset();
        session_.Logger.LoggerName.clear();
        status.LoggerTimeText.clear();
        status.LoggingStateText.clear();
    }
    SetText(ui.lblLoggerName, session_.Logger.LoggerName);
    SetText(ui.lblDateTime, status.LoggerTimeText);
    SetText(ui.lblClockOffset, line.Connected && status.ClockOffsetSeconds ? ClockOffsetText(*status.ClockOffsetSeconds)
                                                                           : QString());
    SetText(ui.lblLoggingState, status.LoggingStateText);
    SetText(ui.lblRecordings, line.Connected ? QString::number(status.RecordCount) : QString());

    // Continuous sampling follows the check box.
    if (!ui.chkSampleContinuously->isChecked()) {
        state.SamplingContinuously = false;
    } else if (!line.Connected) {
        ui.chkSampleContinuously->setChecked(false);
    } else if (!line.Busy) {
        if (!state.SamplingContinuously) {
            state.SamplingContinuously = true;
            state.SamplePhase = SamplePhases::StartSample;
            ui.lblDateTime->clear();
            status.LoggerTimeText.clear();
        }
        state.ShownConnected = false;
    }

    if (!state.Loading) {
        DrawBars();
        ShowColumnLabels();
    }

    if (line.Connected != state.ShownConnected && !line.Busy && !state.SamplingContinuously) {
        RefreshConnectionControls();
    }
    if (state.SamplingContinuously) {
        for (QWidget* control : std::initializer_list<QWidget*>{ui.cmdConnect, ui.cmdGetSettings, ui.cmdGetHistoryData,
                                                                ui.cmdClearMemory, ui.cmdSynchronizeTime, ui.cmdSetup}) {
            control->setEnabled(false);
        }
        for (QAction* item : {ui.mnuDisconnect, ui.mnuGetSettings, ui.mnuGetHistoryData, ui.mnuClearHistory,
                              ui.mnuSynchronizeTime, ui.mnuSetup, ui.mnuResetPulseAccs}) {
            item->setEnabled(false);
        }
    }
    ShowUnitsWarning();
    if (lost) { // once the window shows it
        session_.platform.prompter.tell(QStringLiteral("Connection Lost"),
                                        QStringLiteral("Error: the connection to the logger was lost."),
                                        PromptIcon::Warning);
    }
}

void MainController::RefreshConnectionControls()
{
    RefreshFlowDisplay();
    const MainWidgets& ui = window_.ui();
    const bool connected = session_.Connection.Connected;
    for (QWidget* control : std::initializer_list<QWidget*>{ui.cmdGetSettings, ui.cmdGetHistoryData, ui.cmdClearMemory,
                                                            ui.cmdSynchronizeTime, ui.cmdSetup}) {
        control->setEnabled(connected);
    }
    session_.Window.ShownConnected = connected;
    ui.cmdConnect->setEnabled(true);
    ui.mnuConnect->setEnabled(!connected);
    ui.mnuDisconnect->setEnabled(connected);
    ui.mnuFirmwareVersion->setEnabled(connected);
    ui.lblCommStatus->setText(connected ? QStringLiteral("Connected") : QStringLiteral("Not Connected"));
    SetTextColour(ui.lblCommStatus, connected ? kConnectedColour : kNotConnectedColour);
    ui.cmdConnect->setText(connected ? QStringLiteral("Disconnect") : QStringLiteral("Connect"));
    ui.chkSampleContinuously->setEnabled(connected);
    for (QAction* item : {ui.mnuSampleContinuously, ui.mnuGetSettings, ui.mnuGetHistoryData, ui.mnuClearHistory,
                          ui.mnuSynchronizeTime, ui.mnuSetup, ui.mnuResetPulseAccs}) {
        item->setEnabled(connected);
    }
}

void MainController::ShowLiveSamples()
{
    const LiveReadingTexts texts = BuildLiveReadings(session_);
    const MainWidgets& ui = window_.ui();
    for (size_t c = 0; c < texts.Columns.size(); ++c) {
        if (texts.Columns[c].Filled) {
            SetText(ui.meters[c].lblValue, texts.Columns[c].ValueText);
            SetText(ui.meters[c].lblHistory, texts.Columns[c].HistoryText);
        }
    }
    ShowFlowReadings(texts.Levels);
    SetText(ui.lblPulseValue1, texts.Pulse1Text);
    SetText(ui.lblPulseValue2, texts.Pulse2Text);
    emit liveSamplesShown();
}

void MainController::ShowSettingsSummary()
{
    RefreshFlowDisplay();
    const SettingsSummary summary = BuildSettingsSummary(session_.Logger);
    const MainWidgets& ui = window_.ui();
    SetText(ui.lblSampleInterval, summary.SampleIntervalText);
    SetText(ui.lblWarmup, summary.WarmupText);
    for (size_t i = 0; i < 2; ++i) {
        SetText(ui.lblAlarm[i], summary.AlarmText[i]);
        ui.lblAlarm[i]->setEnabled(summary.AlarmEnabled[i]);
    }
    for (size_t c = 0; c < summary.Channels.size() && c < ui.meters.size(); ++c) {
        const SettingsSummary::Channel& channel = summary.Channels[c];
        const MeterWidgets& meter = ui.meters[c];
        SetText(meter.lblMax, channel.MaxText);
        SetText(meter.lblMin, channel.MinText);
        SetText(meter.lblUnits, channel.UnitsText);
        if (!channel.Shown) {
            meter.lblValue->clear();
            meter.lblHistory->clear();
        }
    }
    ApplySummaryToColumns(summary, session_.Meters);
    ui.fraPulse1->setEnabled(summary.Pulse1Enabled);
    ui.lblPulseValue1->setEnabled(summary.Pulse1Enabled);
    if (summary.Pulse2Enabled) {
        ui.fraPulse2->setEnabled(*summary.Pulse2Enabled);
        ui.lblPulseValue2->setEnabled(*summary.Pulse2Enabled);
    }
}
