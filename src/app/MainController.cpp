#include "app/MainController.h"

#include "app/AboutWindow.h"
#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/MeterBar.h"
#include "app/ProgramPictures.h"
#include "core/ProgramVersion.h"
#include "app/Session.h"
#include "core/DataFolder.h"
#include "core/NumberText.h"
#include "flow/RatingCatalogue.h"
#include "platform/HelpViewer.h"
#include "platform/Prompter.h"
#include "platform/SerialPort.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QSplashScreen>

namespace {

const QColor kAnalogBar(128, 128, 255);
const QColor kDerivedBar(0, 150, 110);
constexpr size_t kColumns = 8;

} // namespace

MainController::MainController(Session& session, MainWindow& window, QObject* parent)
    : MainController(session, window, ownTicks_, parent)
{
}

MainController::MainController(Session& session, MainWindow& window, TickSource& ticks, QObject* parent)
    : QObject(parent), session_(session), window_(window), ticks_(ticks),
      sampler_(session, [this] { ShowLiveSamples(); })
{
    connect(&ticks_, &TickSource::ticked, this, [this](TickSource::Tick tick) {
        if (tick == TickSource::Tick::Status) {
            StatusTick();
        } else {
            sampler_.Tick();
        }
    });

    const MainWidgets& ui = window_.ui();
    connect(ui.mnuExit, &QAction::triggered, this, &MainController::exitRequested);
    connect(ui.mnuLaunchHelp, &QAction::triggered, this, &MainController::LaunchHelp);
    connect(ui.mnuAbout, &QAction::triggered, this, &MainController::ShowAbout);
    connect(&window_, &MainWindow::closing, this, &MainController::WindowClosing);
    connect(&session_.platform.port, &SerialPort::portLost, this, [this] {
        portLost_ = portLost_ || session_.Connection.Connected;
    });
    ConnectActions();
}

void MainController::StartUp(const QString& commandLine, const QString& appFolder)
{
    const MainWidgets& ui = window_.ui();

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

    session_.Window.Loading = true;
    session_.Window.SamplePhase = SamplePhases::StartSample;
    session_.Window.SampleWaitCountdown = 0;
    ticks_.stop(TickSource::Tick::Sample);
    session_.Connection.Connected = false;
    session_.Window.ShownConnected = false;

    ui.lblCommStatus->setText(QStringLiteral("Not Connected"));
    SetTextColour(ui.lblCommStatus, kNotConnectedColour);
    ui.lblPulseValue1->clear();
    ui.lblPulseValue2->clear();

    session_.Window.SamplingContinuously = false;
    session_.Window.AwaitingSample = false;
    session_.Window.SampleCount = 0;

    session_.AppFolder = appFolder;
    LoadRatingCatalogues(session_.Catalogues, dataFolder, session_.Options.ErrorTrapping);

    window_.setWindowTitle(ProgramCaption());

    for (QLabel* label : {ui.lblLoggerName, ui.lblDateTime, ui.lblSampleInterval, ui.lblWarmup, ui.lblLoggingState,
                          ui.lblRecordings, ui.lblAlarm[0], ui.lblAlarm[1]}) {
        label->clear();
    }
    session_.Logger.LoggerName.clear();
    session_.Logger.SampleInterval.clear();
    session_.Status.LoggingStateText.clear();

    const QRect firstMeter = MainWindow::MeterFrameTwips(0);
    layout_ = MeterLayout::FromColumnFrame(firstMeter.left(), MainWindow::ColumnFrameTwips());
    ResetMeterColumns();
    ui.meters[3].fraMeter->setTitle(QStringLiteral("Flow"));
    ui.meters[4].fraMeter->setTitle(QStringLiteral("Velocity"));
    ui.meters[3].fraMeter->setEnabled(false);
    ui.meters[4].fraMeter->setEnabled(false);
    for (size_t i = 5; i < kColumns; ++i) {
        ui.meters[i].fraMeter->hide();
    }
    PlaceFlowModePanel();

    session_.Logger.NumAnalogChannels = 3;
    session_.Window.DerivedColumnCount = 2;

    session_.User = ReadUserSettings(session_.platform.settingsStore);
    session_.User.CurrentModemNumber = session_.User.ModemNumber[0];

    window_.show();
    splash.finish(&window_);
    ticks_.start(TickSource::Tick::Status);
    ticks_.start(TickSource::Tick::Sample);
    session_.Window.Loading = false;
}

void MainController::ResetMeterColumns()
{
    const MainWidgets& ui = window_.ui();
    for (size_t i = 0; i < kColumns; ++i) {
        session_.Meters[i] = MeterColumn{};
        const MeterWidgets& meter = ui.meters[i];
        meter.fraMeter->setTitle(QString::number(i + 1));
        meter.fraMeter->show();
        meter.fraColumn->show();
        meter.lblMin->setText(QStringLiteral("0.000"));
        meter.lblMax->setText(QStringLiteral("0.000"));
        meter.lblValue->clear();
        meter.lblUnits->clear();
        meter.lblHistory->clear();
        // Column 1's labels keep their place; the others wait for a channel.
        for (QLabel* label : {meter.lblMin, meter.lblMax, meter.lblValue, meter.lblUnits, meter.lblHistory}) {
            label->setVisible(i == 0);
        }
    }
}

void MainController::PlaceFlowModePanel()
{
    const QRect first = MainWindow::MeterFrameTwips(0);
    const int left = MainWindow::MeterFrameTwips(5).left();
    const int width = MainWindow::InnerWidthTwips() - left - 150;
    const MainWidgets& ui = window_.ui();
    ui.fraFlowMode->setGeometry(TwipsRect(left, first.top(), width, first.height()));
    ui.fraFlowMode->show();
}

void MainController::DrawBars()
{
    const MainWidgets& ui = window_.ui();
    const int meterTop = MainWindow::MeterFrameTwips(0).top();
    const size_t columns = std::min<size_t>(
        kColumns, static_cast<size_t>(session_.Logger.NumAnalogChannels + session_.Window.DerivedColumnCount));
    for (size_t i = 0; i < columns; ++i) {
        MeterColumn& record = session_.Meters[i];
        const BarDrawing bar = PlaceBar(layout_, meterTop, static_cast<int>(i), record);
        if (!bar.Changed) {
            continue;
        }
        MeterBar* frame = ui.meters[i].fraColumn;
        QRect fill;
        if (record.Shown) {
            // Window twips to pixels, then into the bar frame's own coordinates.
            const QPoint origin = frame->mapTo(window_.centralWidget(), QPoint(0, 0));
            fill = TwipsRect(bar.Left, bar.FillTop, layout_.BarWidth, bar.Top + layout_.BarHeight - bar.FillTop)
                       .translated(-origin);
        }
        const bool derived = i >= session_.Logger.NumAnalogChannels;
        frame->setFill(fill, derived ? kDerivedBar : kAnalogBar);
    }
}

void MainController::ShowColumnLabels()
{
    const MainWidgets& ui = window_.ui();
    const size_t columns = std::min<size_t>(
        kColumns, static_cast<size_t>(session_.Logger.NumAnalogChannels + session_.Window.DerivedColumnCount));
    for (size_t i = 0; i < columns; ++i) {
        MeterColumn& record = session_.Meters[i];
        if (record.Shown == record.LastShown) {
            continue;
        }
        record.LastShown = record.Shown;
        const MeterWidgets& meter = ui.meters[i];
        for (QLabel* label : {meter.lblMax, meter.lblMin, meter.lblUnits, meter.lblValue, meter.lblHistory}) {
            label->setVisible(record.Shown);
        }
    }
}

void MainController::LaunchHelp()
{
    const QString& manual = session_.HelpFile;
    if (manual.isEmpty() || !QFileInfo::exists(manual) || session_.platform.helpViewer.open(manual)) {
        return;
    }
    session_.platform.prompter.tell(QStringLiteral("Help"),
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
    ticks_.stop(TickSource::Tick::Status);
    ticks_.stop(TickSource::Tick::Sample);
    session_.Window.AwaitingSample = false;
    session_.Window.SampleWaitCountdown = 0;
    session_.Connection.ReplyCountdown = 0;
    WriteUserSettings(session_.User, session_.platform.settingsStore);
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
