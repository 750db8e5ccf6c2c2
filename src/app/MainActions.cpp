#include "core/ComputerClock.h"
#include "app/ConnectWindow.h"
#include "app/LiveReadings.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/Session.h"
#include "config/DefaultSettings.h"
#include "core/ErrorTrap.h"
#include "platform/BusyCursor.h"
#include "platform/Prompter.h"
#include "setup/LoggerSetupLink.h"
#include "setup/ui/SetupWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

namespace {

// The signature of a memory this program initialised: "BL2 ", the version
// numbers without separators, cut to 8 characters.
QString NewMemorySignature()
{
    return (QStringLiteral("BL2 %1%2%3").arg(BREVEL_VERSION_MAJOR).arg(BREVEL_VERSION_MINOR).arg(BREVEL_VERSION_REVISION)
            + QString(8, QLatin1Char(' ')))
        .left(8);
}

} // namespace

void MainController::ConnectActions()
{
    const MainWidgets& ui = window_.ui();
    connect(ui.cmdConnect, &QPushButton::clicked, this, &MainController::ConnectAction);
    connect(ui.mnuConnect, &QAction::triggered, this, [this] {
        if (!session_.Connection.Connected) {
            ConnectAction();
        }
    });
    connect(ui.mnuDisconnect, &QAction::triggered, this, [this] {
        if (session_.Connection.Connected) {
            ConnectAction();
        }
    });
    connect(ui.cmdGetSettings, &QPushButton::clicked, this, &MainController::GetSample);
    connect(ui.mnuGetSettings, &QAction::triggered, this, &MainController::GetSample);
    connect(ui.cmdSynchronizeTime, &QPushButton::clicked, this, &MainController::SynchronizeTime);
    connect(ui.mnuSynchronizeTime, &QAction::triggered, this, &MainController::SynchronizeTime);
    connect(ui.cmdGetHistoryData, &QPushButton::clicked, this, &MainController::GetHistory);
    connect(ui.mnuGetHistoryData, &QAction::triggered, this, &MainController::GetHistory);
    connect(ui.mnuLiveGraph, &QAction::triggered, this, [this] {
        if (graphs_.live) {
            graphs_.live();
        }
    });
    connect(ui.cmdClearMemory, &QPushButton::clicked, this, &MainController::ClearHistory);
    connect(ui.mnuClearHistory, &QAction::triggered, this, &MainController::ClearHistory);
    connect(ui.cmdSetup, &QPushButton::clicked, this, &MainController::Setup);
    connect(ui.mnuSetup, &QAction::triggered, this, &MainController::Setup);
    connect(ui.mnuResetPulseAccs, &QAction::triggered, this, &MainController::ResetPulseAccumulators);
    connect(ui.mnuFirmwareVersion, &QAction::triggered, this, &MainController::ShowFirmwareVersion);
    connect(ui.mnuSampleContinuously, &QAction::triggered, this, [this] {
        if (session_.Connection.Connected) {
            QCheckBox* box = window_.ui().chkSampleContinuously;
            box->setChecked(!box->isChecked());
        }
    });
    connect(ui.chkSampleContinuously, &QCheckBox::clicked, this, [this] {
        if (!session_.Connection.Connected) {
            window_.ui().chkSampleContinuously->setChecked(false);
        }
    });
}

ExchangeGuard MainController::TakeLine(ExchangeNeeds needs)
{
    return ExchangeGuard(session_.Connection, session_.Window.SamplingContinuously, needs);
}

// A guarded action: nothing unless the line is free and a logger connected;
// an unexpected failure while trapping ends it quietly.
void MainController::RunGuarded(const std::function<void()>& body)
{
    const ExchangeGuard exchange = TakeLine();
    if (exchange) {
        RunTrapped(session_.Options.ErrorTrapping, body, [] {});
    }
}

bool MainController::ReadSettings()
{
    LoggerCommands::SettingsReadSteps steps;
    steps.settingsDecoded = [this] {
        SelectProgrammedFlowSource();
        ShowSettingsSummary();
    };
    steps.showLiveSamples = [this] { ShowLiveSamples(); };
    return session_.Commands.ReadSettings(steps);
}

// The main window forgets the logger: readings, settings texts, record
// count, meter columns.
void MainController::ForgetLogger()
{
    const MainWidgets& ui = window_.ui();
    session_.Window.SampleCount = 0;
    ShowLiveSamples();
    session_.Logger.LoggerName.clear();
    for (QLabel* label : {ui.lblSampleInterval, ui.lblWarmup, ui.lblLoggingState, ui.lblAlarm[0], ui.lblAlarm[1]}) {
        label->clear();
    }
    session_.Status.RecordCount = 0;
    for (MeterColumn& column : session_.Meters) {
        column.Shown = false;
    }
}

// Lets go of the logger; a loss of the port noticed before no longer matters.
void MainController::Disconnect()
{
    session_.Connection.Connected = false;
    session_.Link.ClosePort();
    portLost_ = false;
}

// The port went away under the connected logger (cable pulled, adapter or
// logger gone) and the action that was running has ended: disconnect as the
// user's Disconnect does, sampling stopped and the window showing it. True
// when it disconnected.
bool MainController::DisconnectLostLogger()
{
    portLost_ = false;
    if (!session_.Connection.Connected) {
        return false;
    }
    ForgetLogger();
    Disconnect();
    window_.ui().chkSampleContinuously->setChecked(false);
    session_.Window.SamplingContinuously = false;
    session_.Window.AwaitingSample = false;
    session_.Window.ShownConnected = true; // so that the controls follow at once
    return true;
}

void MainController::ConnectAction()
{
    {
        const ExchangeGuard exchange = TakeLine(ExchangeNeeds::FreeLine);
        if (!exchange) {
            return;
        }
        ForgetLogger();
        if (session_.Connection.Connected) {
            Disconnect();
            return;
        }
        {
            ConnectWindow connectWindow(session_, &window_);
            connectWindow.exec();
        }
        if (!session_.Connection.Connected || !CheckLoggerAfterConnect()) {
            Disconnect();
            return;
        }
    }
    GetSample();
    if (session_.FlowDisplay.FlowUnitsInvalid && !closed_) {
        session_.platform.prompter.tell(
            QStringLiteral("Bad Units"),
            QStringLiteral("Warning: For the flow monitor calculations to be done correctly the channel 1\r\n"
                           "unit's name must be one of Feet, Inches, Meters or cm (centimeters).\r\n"
                           "The current unit's name (%1) is not supported.\r\n\r\n"
                           "Use the Setup mode to set the units for channel 1 to one of the legal values.")
                .arg(session_.Logger.EngUnits[0]),
            PromptIcon::Information);
    }
}

// The logger type and its memory signature, initialising a memory that was
// never initialised when the user agrees. False: the caller disconnects.
bool MainController::CheckLoggerAfterConnect()
{
    Prompter& prompter = session_.platform.prompter;
    if (session_.Logger.NumAnalogChannels != 3) {
        prompter.tell(QStringLiteral("Wrong Logger Type"),
                      QStringLiteral("Error: The Brevel Flow Monitor software only works correctly\r\n"
                                     "with loggers that have three analog channels."),
                      PromptIcon::Error);
        return false;
    }
    QString signature;
    {
        BusyScope hourglass(session_.platform.busyCursor);
        signature = session_.Commands.ReadMemorySignature();
    }
    if (!session_.Options.ForceInitialisation && signature.left(3) == QLatin1String("BL2")) {
        return true;
    }
    const PromptAnswer answer =
        prompter.askBeforeLoss(QStringLiteral("Initialization Required"),
                               QStringLiteral("Warning: the flash memory has not been programmed.\r\n"
                                              "You need to initialize the flash memory before proceeding.\r\n"
                                              "This may take up to 5 seconds."),
                               PromptIcon::Warning, PromptButtons::OkCancel);
    if (answer != PromptAnswer::Ok) {
        return false;
    }
    if (!InitialiseLogger()) {
        prompter.tell(QStringLiteral("Initialization Error"),
                      QStringLiteral("Initialization Error: unable to correctly initialize the flash memory."),
                      PromptIcon::Error);
        return false;
    }
    return true;
}

// Initialises the memory, programs the factory defaults and a new signature,
// and sets the clock; false at the first step that fails.
bool MainController::InitialiseLogger()
{
    BusyScope hourglass(session_.platform.busyCursor);
    LoggerCommands& commands = session_.Commands;
    const QString signature = NewMemorySignature();
    if (!commands.InitialiseMemory()) {
        return false;
    }
    ApplyDefaultSettings(session_.Logger, session_.Rating);
    if (!commands.ProgramSettings() || !commands.WriteMemorySignature(signature)
        || commands.ReadMemorySignature() != signature) {
        return false;
    }
    commands.SetLoggerClock(ComputerClockText());
    return true;
}

void MainController::GetSample()
{
    const ExchangeGuard exchange = TakeLine();
    if (!exchange) {
        return;
    }
    {
        BusyScope hourglass(session_.platform.busyCursor);
        RunTrapped(
            session_.Options.ErrorTrapping,
            [&] {
                ReadSettings();
                session_.Window.AwaitingSample = true;
                session_.Window.SamplePhase = SamplePhases::StartSample;
                session_.Window.SampleWaitCountdown = 25;
                // The sample timer fetches the sample meanwhile.
                while (session_.Window.SampleWaitCountdown >= 1 && session_.Window.AwaitingSample && !closed_) {
                    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
                }
            },
            [] {});
    }
    session_.Window.SampleWaitCountdown = 0;
    session_.Window.AwaitingSample = false;
}

// A command that changes the logger's state, then the status and clock it
// now shows; an unexpected failure while trapping ends it quietly.
void MainController::RunThenReadStatusAndClock(const std::function<void()>& command)
{
    RunTrapped(
        session_.Options.ErrorTrapping,
        [&] {
            command();
            session_.Commands.ReadLoggerStatus();
            session_.Status.LoggerTimeText = session_.Commands.ReadLoggerClock();
        },
        [] {});
}

void MainController::SynchronizeTime()
{
    const PromptAnswer answer = session_.platform.prompter.ask(
        QStringLiteral("Synchronize Time"), QStringLiteral("Do you want to set the logger time to equal the system time?"),
        PromptIcon::Information, PromptButtons::YesNo);
    if (answer != PromptAnswer::Yes) {
        return;
    }
    const ExchangeGuard exchange = TakeLine();
    if (exchange) {
        BusyScope hourglass(session_.platform.busyCursor);
        RunThenReadStatusAndClock([this] { session_.Commands.SetLoggerClock(ComputerClockText()); });
    }
}

void MainController::ClearHistory()
{
    RunGuarded([this] {
        const PromptAnswer answer = session_.platform.prompter.askBeforeLoss(
            QStringLiteral("Clear History"), QStringLiteral("Are you sure you want to erase the history buffer?"),
            PromptIcon::Question, PromptButtons::YesNo);
        if (answer == PromptAnswer::Yes) {
            RunThenReadStatusAndClock([this] { session_.Commands.ClearLoggerMemory(); });
        }
    });
}

void MainController::Setup()
{
    ExchangeGuard before = TakeLine();
    if (!before) {
        return;
    }
    RunTrapped(
        session_.Options.ErrorTrapping,
        [&] {
            ReadSettings();
            // The setup window takes the line for each of its own exchanges.
            before.Release();
            OpenSetupWindow();
            // Show what the logger holds now.
            const ExchangeGuard after = TakeLine();
            if (after) {
                BusyScope hourglass(session_.platform.busyCursor);
                ReadSettings();
            }
        },
        [] {});
}

void MainController::OpenSetupWindow()
{
    Platform& platform = session_.platform;
    LoggerSetupLink setupLink(session_.Commands);
    SetupContext context{session_.Options,
                         session_.Connection,
                         session_.Window.SamplingContinuously,
                         session_.Logger,
                         session_.Rating,
                         platform.prompter,
                         platform.fileDialogs,
                         platform.busyCursor,
                         setupLink,
                         session_.User.LastFile,
                         session_.User.LastFilePath,
                         session_.AppFolder,
                         session_.Catalogues,
                         [this] { LaunchHelp(); },
                         [this] { ShowAbout(); }};
    SetupWindow setup(context, &window_);
    setup.exec();
}

void MainController::ResetPulseAccumulators()
{
    RunGuarded([this] {
        session_.Commands.ResetPulseAccumulators();
        if (session_.Window.SampleCount >= 1) {
            session_.SampleHistory[0].Values[8] = 0;
            session_.SampleHistory[0].Values[9] = 0;
            ShowLiveSamples();
        }
    });
}

void MainController::ShowFirmwareVersion()
{
    session_.platform.prompter.tell(QStringLiteral("Firmware Version"),
                                    QStringLiteral("Logger firmware version = %1").arg(session_.Status.FirmwareVersion),
                                    PromptIcon::None);
}
