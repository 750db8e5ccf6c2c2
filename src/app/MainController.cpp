#include "app/MainController.h"

#include "app/AboutWindow.h"
#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/MeterFrame.h"
#include "app/ProgramPictures.h"
#include "app/Session.h"
#include "config/SettingsSummary.h"
#include "core/DataFolder.h"
#include "core/ProgramVersion.h"
#include "flow/RatingCatalogue.h"
#include "link/ClockOffsetText.h"
#include "platform/HelpViewer.h"
#include "platform/Prompter.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QSplashScreen>

MainController::MainController(Session& session, MainWindow& window, QObject* parent)
    : MainController(session, window, ownTicks_, parent)
{
}

MainController::MainController(Session& session, MainWindow& window, TickSource& ticks, QObject* parent)
    : QObject(parent), session_(session), window_(window), ticks_(ticks), flow_(session, window),
      live_(session, window, flow_),
      actions_(session, window, live_, flow_,
               LoggerActionHooks{[this] { ShowSettingsSummary(); }, [this] { LaunchHelp(); }, [this] { ShowAbout(); },
                                 [this] { return closed_; }})
{
    connect(&ticks_, &TickSource::Ticked, this, [this](TickSource::Tick tick) {
        if (tick == TickSource::Tick::Status) {
            StatusTick();
        } else {
            live_.SampleTick();
        }
    });
    connect(&window_, &MainWindow::CommandChosen, this, &MainController::RunCommand);
    connect(&window_, &MainWindow::Closing, this, &MainController::WindowClosing);
    connect(&live_, &LiveReadingsView::LiveSamplesShown, this, &MainController::LiveSamplesShown);
}

void MainController::RunCommand(MainCommand command)
{
    const bool connected = session_.Connection.Connected;
    switch (command) {
    case MainCommand::Exit:
        emit ExitRequested();
        break;
    case MainCommand::Connect:
        actions_.ConnectOrDisconnect();
        break;
    case MainCommand::ConnectMenu:
    case MainCommand::DisconnectMenu:
        if (connected == (command == MainCommand::DisconnectMenu)) {
            actions_.ConnectOrDisconnect();
        }
        break;
    case MainCommand::SampleContinuouslyBox:
        if (!connected) {
            window_.TickSampleContinuously(false);
        }
        break;
    case MainCommand::SampleContinuouslyMenu:
        if (connected) {
            window_.TickSampleContinuously(!window_.SampleContinuouslyTicked());
        }
        break;
    case MainCommand::GetSample:
        actions_.GetSample();
        break;
    case MainCommand::GetHistory:
        actions_.GetHistory();
        break;
    case MainCommand::LiveGraph:
        if (liveGraph_) {
            liveGraph_();
        }
        break;
    case MainCommand::ClearHistory:
        actions_.ClearHistory();
        break;
    case MainCommand::SynchronizeTime:
        actions_.SynchronizeTime();
        break;
    case MainCommand::Setup:
        actions_.Setup();
        break;
    case MainCommand::ResetPulseAccumulators:
        actions_.ResetPulseAccumulators();
        break;
    case MainCommand::Help:
        LaunchHelp();
        break;
    case MainCommand::About:
        ShowAbout();
        break;
    case MainCommand::FirmwareVersion:
        actions_.ShowFirmwareVersion();
        break;
    case MainCommand::CommunicationsLog:
    case MainCommand::OpenArchive:
        break; // the application opens the log and the archive
    }
}

void MainController::SetGraphOpeners(GraphOpeners openers)
{
    actions_.SetHistoryGraph(std::move(openers.History));
    liveGraph_ = std::move(openers.Live);
}

void MainController::StartUp(const QString& commandLine, const QString& appFolder)
{
    window_.setWindowIcon(ProgramIcon());
    session_.Logger.NumAnalogChannels = 8;
    session_.Logger.NumDigitalChannels = 2;
    ApplyCommandLine(commandLine, session_.Options);

    const QString dataFolder = FindDataFolder(appFolder);
    const QString manual = ManualPath(dataFolder);
    session_.HelpFile = QFileInfo::exists(manual) ? manual : QString();

    QSplashScreen splash(ProgramBanner(ProgramCaption()));
    splash.setObjectName(QStringLiteral("frmSplash"));
    splash.show();
    QCoreApplication::processEvents();

    MainWindowState& state = session_.Window;
    state.Loading = true;
    state.SamplePhase = SamplePhases::StartSample;
    state.SampleWaitCountdown = 0;
    ticks_.Stop(TickSource::Tick::Sample);
    session_.Connection.Connected = false;
    state.ShownConnected = false;
    state.SamplingContinuously = false;
    state.AwaitingSample = false;
    state.SampleCount = 0;

    session_.AppFolder = appFolder;
    LoadRatingCatalogues(session_.Catalogues, dataFolder, session_.Options.ErrorTrapping);
    window_.setWindowTitle(ProgramCaption());
    session_.Logger.LoggerName.clear();
    session_.Logger.SampleInterval.clear();
    session_.Status.LoggingStateText.clear();
    live_.ResetColumns();

    session_.Logger.NumAnalogChannels = 3;
    state.DerivedColumnCount = 2;
    session_.User = ReadUserSettings(session_.Services.Store);
    session_.User.CurrentModemNumber = session_.User.ModemNumber[0];

    window_.show();
    splash.finish(&window_);
    ticks_.Start(TickSource::Tick::Status);
    ticks_.Start(TickSource::Tick::Sample);
    state.Loading = false;
}

void MainController::StatusTick()
{
    MainWindowState& state = session_.Window;
    session_.Link.TickReplyCountdown();
    // Get Sample's wait for its sample is counted here, not on the sample
    // timer: a timer does not fire again while its own tick runs, and the
    // sample timer's tick waits as long as a silent logger keeps it.
    if (state.SampleWaitCountdown > 0) {
        --state.SampleWaitCountdown;
    }
    const bool lost = actions_.DisconnectLostLogger();
    ShowLoggerTexts();
    live_.FollowSamplingSwitch();
    if (!state.Loading) {
        live_.DrawColumns();
    }
    if (session_.Connection.Connected != state.ShownConnected && !session_.Connection.Busy
        && !state.SamplingContinuously) {
        RefreshConnectionControls();
    }
    if (state.SamplingContinuously) {
        window_.DisableActionsWhileSampling();
    }
    flow_.ShowUnitsWarning();
    if (lost) { // once the window shows it
        actions_.TellConnectionLost();
    }
}

void MainController::ShowLoggerTexts()
{
    const bool connected = session_.Connection.Connected;
    LoggerStatus& status = session_.Status;
    if (!connected) {
        status.ClockOffsetSeconds.reset();
        session_.Logger.LoggerName.clear();
        status.LoggerTimeText.clear();
        status.LoggingStateText.clear();
    }
    window_.ShowStatus(StatusLabel::LoggerName, session_.Logger.LoggerName);
    window_.ShowStatus(StatusLabel::LoggerTime, status.LoggerTimeText);
    window_.ShowStatus(StatusLabel::ClockOffset, connected && status.ClockOffsetSeconds
                                                     ? ClockOffsetText(*status.ClockOffsetSeconds)
                                                     : QString());
    window_.ShowStatus(StatusLabel::LoggingState, status.LoggingStateText);
    window_.ShowStatus(StatusLabel::Records, connected ? QString::number(status.RecordCount) : QString());
}

void MainController::RefreshConnectionControls()
{
    flow_.Refresh();
    session_.Window.ShownConnected = session_.Connection.Connected;
    window_.ShowConnection(session_.Connection.Connected);
}

void MainController::ShowSettingsSummary()
{
    flow_.Refresh();
    const SettingsSummary summary = BuildSettingsSummary(session_.Logger);
    window_.ShowStatus(StatusLabel::SampleInterval, summary.SampleIntervalText);
    window_.ShowStatus(StatusLabel::Warmup, summary.WarmupText);
    window_.ShowStatus(StatusLabel::Alarm1, summary.AlarmText[0]);
    window_.ShowStatus(StatusLabel::Alarm2, summary.AlarmText[1]);
    window_.EnableStatus(StatusLabel::Alarm1, summary.AlarmEnabled[0]);
    window_.EnableStatus(StatusLabel::Alarm2, summary.AlarmEnabled[1]);
    live_.ShowChannels(summary);
}

void MainController::LaunchHelp()
{
    const QString& manual = session_.HelpFile;
    if (manual.isEmpty() || !QFileInfo::exists(manual) || session_.Services.Help.Open(manual)) {
        return;
    }
    session_.Services.Messages.Tell(QStringLiteral("Help"),
                                    QStringLiteral("Error: no browser could open the manual.\r\n"
                                                   "Open it yourself from %1")
                                        .arg(QDir::toNativeSeparators(manual)),
                                    PromptIcon::Warning);
}

void MainController::ShowAbout()
{
    AboutWindow about(window_.windowTitle(), &window_);
    about.exec();
}

// The window may close in the middle of any exchange (the user's close box
// is served inside the link's waits): every wait must end now, or the
// program would run on without a window.
void MainController::WindowClosing()
{
    if (closed_) {
        return;
    }
    closed_ = true;
    ticks_.Stop(TickSource::Tick::Status);
    ticks_.Stop(TickSource::Tick::Sample);
    session_.Window.AwaitingSample = false;
    session_.Window.SampleWaitCountdown = 0;
    session_.Connection.ReplyCountdown = 0;
    WriteUserSettings(session_.User, session_.Services.Store);
    // Dropping DTR first tells a modem to hang up; with the port closed no
    // wait of the link goes on.
    session_.Link.ClosePort();
    // Every other window, the most recently opened first. One that will not
    // close while it works (a download, a connection attempt) is hidden,
    // which ends its modal wait all the same.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        const QPointer<QWidget> window = *it;
        if (window != &window_ && window->isVisible()) {
            window->close();
            if (window) {
                window->hide();
            }
        }
    }
}
