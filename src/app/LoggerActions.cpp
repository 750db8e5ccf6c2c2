#include "app/LoggerActions.h"

#include "app/ConnectWindow.h"
#include "app/LiveReadingsView.h"
#include "app/MainFlowDisplay.h"
#include "app/MainWindow.h"
#include "app/Session.h"
#include "config/DefaultSettings.h"
#include "core/ComputerClock.h"
#include "core/ErrorTrap.h"
#include "history/HistoryFlow.h"
#include "history/ui/GetHistoryAction.h"
#include "platform/BusyCursor.h"
#include "platform/Prompter.h"
#include "platform/SerialPort.h"
#include "setup/LoggerSetupLink.h"
#include "setup/ui/SetupWindow.h"

#include <QCoreApplication>

namespace {

// The signature of a memory this program initialised: "BL2 ", the version
// numbers without separators, cut to 8 characters.
QString NewMemorySignature()
{
    return (QStringLiteral("BL2 %1%2%3").arg(BREVEL_VERSION_MAJOR).arg(BREVEL_VERSION_MINOR).arg(BREVEL_VERSION_REVISION)
            + QString(8, QLatin1Char(' ')))
        .left(8);
}

// Get Sample waits this many status ticks (100 ms each) for its sample.
constexpr int16_t kSampleWaitTicks = 25;

} // namespace

LoggerActions::LoggerActions(Session& session, MainWindow& window, LiveReadingsView& live, MainFlowDisplay& flow,
                             LoggerActionHooks hooks, QObject* parent)
    : QObject(parent), session_(session), window_(window), live_(live), flow_(flow), hooks_(std::move(hooks))
{
    connect(&session_.Services.Port, &SerialPort::PortLost, this, [this] {
        portLost_ = portLost_ || session_.Connection.Connected;
    });
}

ExchangeGuard LoggerActions::TakeLine(ExchangeNeeds needs)
{
    return ExchangeGuard(session_.Connection, session_.Window.SamplingContinuously, needs);
}

// A guarded action: nothing unless the line is free and a logger connected;
// an unexpected failure while trapping ends it quietly.
void LoggerActions::RunGuarded(const std::function<void()>& body)
{
    const ExchangeGuard exchange = TakeLine();
    if (exchange) {
        RunTrapped(session_.Options.ErrorTrapping, body, [] {});
    }
}

bool LoggerActions::ReadSettings()
{
    LoggerCommands::SettingsReadSteps steps;
    steps.SettingsDecoded = [this] {
        flow_.SelectProgrammedFlowSource();
        hooks_.ShowSettingsSummary();
    };
    steps.ShowLiveSamples = [this] { live_.ShowLiveSamples(); };
    return session_.Commands.ReadSettings(steps);
}

// The main window forgets the logger: readings, settings texts, record
// count, meter columns.
void LoggerActions::ForgetLogger()
{
    session_.Window.SampleCount = 0;
    live_.ShowLiveSamples();
    session_.Logger.LoggerName.clear();
    for (StatusLabel label : {StatusLabel::SampleInterval, StatusLabel::Warmup, StatusLabel::LoggingState,
                              StatusLabel::Alarm1, StatusLabel::Alarm2}) {
        window_.ShowStatus(label, QString());
    }
    session_.Status.RecordCount = 0;
    for (MeterColumn& column : session_.Meters) {
        column.Shown = false;
    }
}

// Lets go of the logger; a loss of the port noticed before no longer matters.
void LoggerActions::Disconnect()
{
    session_.Connection.Connected = false;
    session_.Link.ClosePort();
    portLost_ = false;
}

// The port went away under the connected logger (cable pulled, adapter or
// logger gone) and the action that was running has ended: disconnect as the
// user's Disconnect does, sampling stopped and the window showing it.
bool LoggerActions::DisconnectLostLogger()
{
    if (!portLost_ || session_.Connection.Busy) {
        return false;
    }
    portLost_ = false;
    if (!session_.Connection.Connected) {
        return false;
    }
    ForgetLogger();
    Disconnect();
    window_.TickSampleContinuously(false);
    session_.Window.SamplingContinuously = false;
    session_.Window.AwaitingSample = false;
    session_.Window.ShownConnected = true; // so that the controls follow at once
    return true;
}

void LoggerActions::TellConnectionLost()
{
    session_.Services.Messages.Tell(QStringLiteral("Connection Lost"),
                                    QStringLiteral("Error: the connection to the logger was lost."),
                                    PromptIcon::Warning);
}

void LoggerActions::ConnectOrDisconnect()
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
    if (session_.FlowDisplay.FlowUnitsInvalid && !hooks_.WindowClosed()) {
        WarnAboutFlowUnits();
    }
}

void LoggerActions::WarnAboutFlowUnits()
{
    session_.Services.Messages.Tell(
        QStringLiteral("Bad Units"),
        QStringLiteral("Warning: For the flow monitor calculations to be done correctly the channel 1\r\n"
                       "unit's name must be one of Feet, Inches, Meters or cm (centimeters).\r\n"
                       "The current unit's name (%1) is not supported.\r\n\r\n"
                       "Use the Setup mode to set the units for channel 1 to one of the legal values.")
            .arg(session_.Logger.EngUnits[0]),
        PromptIcon::Information);
}

// The logger type and its memory signature, initialising a memory that was
// never initialised when the user agrees. False: the caller disconnects.
bool LoggerActions::CheckLoggerAfterConnect()
{
    Prompter& prompter = session_.Services.Messages;
    if (session_.Logger.NumAnalogChannels != 3) {
        prompter.Tell(QStringLiteral("Wrong Logger Type"),
                      QStringLiteral("Error: The Brevel Flow Monitor software only works correctly\r\n"
                                     "with loggers that have three analog channels."),
                      PromptIcon::Error);
        return false;
    }
    QString signature;
    {
        BusyScope hourglass(session_.Services.Hourglass);
        signature = session_.Commands.ReadMemorySignature();
    }
    if (!session_.Options.ForceInitialisation && signature.left(3) == QLatin1String("BL2")) {
        return true;
    }
    const PromptAnswer answer =
        prompter.AskBeforeLoss(QStringLiteral("Initialization Required"),
                               QStringLiteral("Warning: the flash memory has not been programmed.\r\n"
                                              "You need to initialize the flash memory before proceeding.\r\n"
                                              "This may take up to 5 seconds."),
                               PromptIcon::Warning, PromptButtons::OkCancel);
    if (answer != PromptAnswer::Ok) {
        return false;
    }
    if (!InitialiseLogger()) {
        prompter.Tell(QStringLiteral("Initialization Error"),
                      QStringLiteral("Initialization Error: unable to correctly initialize the flash memory."),
                      PromptIcon::Error);
        return false;
    }
    return true;
}

// Initialises the memory, programs the factory defaults and a new signature,
// and sets the clock; false at the first step that fails.
bool LoggerActions::InitialiseLogger()
{
    BusyScope hourglass(session_.Services.Hourglass);
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

void LoggerActions::GetSample()
{
    const ExchangeGuard exchange = TakeLine();
    if (!exchange) {
        return;
    }
    MainWindowState& state = session_.Window;
    {
        BusyScope hourglass(session_.Services.Hourglass);
        RunTrapped(
            session_.Options.ErrorTrapping,
            [&] {
                ReadSettings();
                state.AwaitingSample = true;
                state.SamplePhase = SamplePhases::StartSample;
                state.SampleWaitCountdown = kSampleWaitTicks;
                // The sample timer fetches the sample meanwhile.
                while (state.SampleWaitCountdown >= 1 && state.AwaitingSample && !hooks_.WindowClosed()) {
                    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
                }
            },
            [] {});
    }
    state.SampleWaitCountdown = 0;
    state.AwaitingSample = false;
}

// A command that changes the logger's state, then the status and clock it
// now shows; an unexpected failure while trapping ends it quietly.
void LoggerActions::RunThenReadStatusAndClock(const std::function<void()>& command)
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

void LoggerActions::SynchronizeTime()
{
    const PromptAnswer answer = session_.Services.Messages.Ask(
        QStringLiteral("Synchronize Time"), QStringLiteral("Do you want to set the logger time to equal the system time?"),
        PromptIcon::Information, PromptButtons::YesNo);
    if (answer != PromptAnswer::Yes) {
        return;
    }
    const ExchangeGuard exchange = TakeLine();
    if (exchange) {
        BusyScope hourglass(session_.Services.Hourglass);
        RunThenReadStatusAndClock([this] { session_.Commands.SetLoggerClock(ComputerClockText()); });
    }
}

void LoggerActions::ClearHistory()
{
    RunGuarded([this] {
        const PromptAnswer answer = session_.Services.Messages.AskBeforeLoss(
            QStringLiteral("Clear History"), QStringLiteral("Are you sure you want to erase the history buffer?"),
            PromptIcon::Question, PromptButtons::YesNo);
        if (answer == PromptAnswer::Yes) {
            RunThenReadStatusAndClock([this] { session_.Commands.ClearLoggerMemory(); });
        }
    });
}

void LoggerActions::Setup()
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
                BusyScope hourglass(session_.Services.Hourglass);
                ReadSettings();
            }
        },
        [] {});
}

void LoggerActions::OpenSetupWindow()
{
    Platform& platform = session_.Services;
    LoggerSetupLink setupLink(session_.Commands);
    SetupContext context{session_.Options,
                         session_.Connection,
                         session_.Window.SamplingContinuously,
                         session_.Logger,
                         session_.Rating,
                         platform.Messages,
                         platform.Dialogs,
                         platform.Hourglass,
                         setupLink,
                         session_.User.LastFile,
                         session_.User.LastFilePath,
                         session_.AppFolder,
                         session_.Catalogues,
                         hooks_.LaunchHelp,
                         hooks_.ShowAbout};
    SetupWindow setup(context, &window_);
    setup.exec();
}

void LoggerActions::ResetPulseAccumulators()
{
    RunGuarded([this] {
        session_.Commands.ResetPulseAccumulators();
        if (session_.Window.SampleCount >= 1) {
            session_.SampleHistory[0].Values[8] = 0;
            session_.SampleHistory[0].Values[9] = 0;
            live_.ShowLiveSamples();
        }
    });
}

void LoggerActions::ShowFirmwareVersion()
{
    session_.Services.Messages.Tell(QStringLiteral("Firmware Version"),
                                    QStringLiteral("Logger firmware version = %1").arg(session_.Status.FirmwareVersion),
                                    PromptIcon::None);
}

// Get History: the download and the table work on the session's records;
// the table takes the flow description from what the main window shows.
void LoggerActions::GetHistory()
{
    Platform& platform = session_.Services;
    GetHistoryServices services{session_.Connection,
                                session_.Status,
                                session_.Options.ErrorTrapping,
                                session_.Window.SamplingContinuously,
                                session_.Logger,
                                session_.History,
                                session_.Link,
                                session_.Commands,
                                platform.Messages,
                                platform.Dialogs,
                                platform.Hourglass,
                                session_.AppFolder,
                                [this] {
                                    return HistoryTableInputs{
                                        MakeHistoryFlowSource(session_.Logger, session_.Rating, session_.FlowDisplay),
                                        flow_.Description(), session_.Logger.LoggerName};
                                },
                                historyGraph_,
                                archiver_};
    RunGetHistory(services, &window_);
}
