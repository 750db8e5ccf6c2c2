#include "app/MainWindow.h"

#include "app/FlowModePanel.h"
#include "app/MeterFrame.h"
#include "app/MeterLayout.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>

namespace {

// The window's fixed layout, in twips.
constexpr int kInnerWidth = 10320;
constexpr int kInnerHeight = 6900;
constexpr int kMeterLeft = 120;
constexpr int kMeterTop = 2220;
constexpr int kMeterWidth = 1100;
constexpr int kMeterHeight = 4560;
constexpr int kFrameHeight = 600;
constexpr int kButtonTop = 1560;
constexpr int kButtonHeight = 450;

// The colours of the connection status label.
constexpr QColor kConnectedColour{0, 128, 0};
constexpr QColor kNotConnectedColour{192, 0, 0};

QRect PixelRect(const QRect& twips)
{
    return TwipsRect(twips.x(), twips.y(), twips.width(), twips.height());
}

// A small status frame with one value label inside.
QLabel* MakeStatusFrame(QWidget* parent, const QString& frameName, const QString& title, const QString& labelName,
                        int left, int top, int width, QGroupBox** frameOut = nullptr)
{
    auto* frame = new QGroupBox(title, parent);
    frame->setObjectName(frameName);
    frame->setGeometry(PixelRect(QRect(left, top, width, kFrameHeight)));
    if (frameOut) {
        *frameOut = frame;
    }
    auto* label = new QLabel(frame);
    label->setObjectName(labelName);
    label->setGeometry(PixelRect(QRect(90, 270, width - 180, 270)));
    return label;
}

void SetTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    auto* surface = new QWidget(this);
    surface->setObjectName(QStringLiteral("surface"));
    surface->setFixedSize(TwipsToPixels(kInnerWidth), TwipsToPixels(kInnerHeight));
    QFont small = surface->font();
    small.setPointSize(8);
    surface->setFont(small);
    setCentralWidget(surface);
    BuildMenus();
    BuildStatusFrames(surface);
    BuildButtons(surface);
    for (size_t i = 0; i < meters_.size(); ++i) {
        meters_[i] = new MeterFrame(static_cast<int>(i), surface);
        meters_[i]->setGeometry(PixelRect(MeterFrameTwips(static_cast<int>(i))));
    }
    // The flow-mode panel stands where column 6 would, as high as the
    // columns, and reaches to 150 twips from the right edge.
    const int panelLeft = MeterFrameTwips(5).left();
    flowPanel_ = new FlowModePanel(surface);
    flowPanel_->setGeometry(TwipsRect(panelLeft, kMeterTop, kInnerWidth - panelLeft - 150, kMeterHeight));
    auto* clockOffset = new QLabel;
    clockOffset->setObjectName(QStringLiteral("lblClockOffset"));
    statusLabels_[static_cast<size_t>(StatusLabel::ClockOffset)] = clockOffset;
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(clockOffset);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

QRect MainWindow::MeterFrameTwips(int column)
{
    return QRect(kMeterLeft + MeterLayout::ColumnPitch * column, kMeterTop, kMeterWidth, kMeterHeight);
}

int MainWindow::InnerWidthTwips()
{
    return kInnerWidth;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    emit Closing();
    event->accept();
}

QLabel* MainWindow::StatusLabelOf(StatusLabel label) const
{
    return statusLabels_.at(static_cast<size_t>(label));
}

void MainWindow::ShowStatus(StatusLabel label, const QString& text)
{
    QLabel* shown = StatusLabelOf(label);
    if (shown->text() != text) {
        shown->setText(text);
    }
}

void MainWindow::EnableStatus(StatusLabel label, bool enabled)
{
    StatusLabelOf(label)->setEnabled(enabled);
    if (label == StatusLabel::Pulse1) {
        fraPulse1_->setEnabled(enabled);
    } else if (label == StatusLabel::Pulse2) {
        fraPulse2_->setEnabled(enabled);
    }
}

void MainWindow::ShowConnection(bool connected)
{
    for (QPushButton* button : loggerButtons_) {
        button->setEnabled(connected);
    }
    cmdConnect_->setEnabled(true);
    mnuConnect_->setEnabled(!connected);
    mnuDisconnect_->setEnabled(connected);
    mnuFirmwareVersion_->setEnabled(connected);
    lblCommStatus_->setText(connected ? QStringLiteral("Connected") : QStringLiteral("Not Connected"));
    SetTextColour(lblCommStatus_, connected ? kConnectedColour : kNotConnectedColour);
    cmdConnect_->setText(connected ? QStringLiteral("Disconnect") : QStringLiteral("Connect"));
    chkSampleContinuously_->setEnabled(connected);
    mnuSampleContinuously_->setEnabled(connected);
    for (QAction* item : loggerMenuItems_) {
        item->setEnabled(connected);
    }
}

void MainWindow::DisableActionsWhileSampling()
{
    cmdConnect_->setEnabled(false);
    for (QPushButton* button : loggerButtons_) {
        button->setEnabled(false);
    }
    mnuDisconnect_->setEnabled(false);
    for (QAction* item : loggerMenuItems_) {
        item->setEnabled(false);
    }
}

bool MainWindow::SampleContinuouslyTicked() const
{
    return chkSampleContinuously_->isChecked();
}

void MainWindow::TickSampleContinuously(bool ticked)
{
    chkSampleContinuously_->setChecked(ticked);
}

void MainWindow::AddMenuItem(QMenu* menu, QAction*& item, const QString& name, const QString& text,
                             const QString& shortcut, bool enabled, MainCommand command)
{
    item = menu->addAction(text);
    item->setObjectName(name);
    item->setShortcut(QKeySequence(shortcut));
    item->setEnabled(enabled);
    connect(item, &QAction::triggered, this, [this, command] { emit CommandChosen(command); });
}

void MainWindow::BuildMenus()
{
    QAction* item = nullptr; // items nothing changes after start-up
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    AddMenuItem(file, item, QStringLiteral("mnuOpenArchive"), QStringLiteral("&Open Archive..."),
                QStringLiteral("Ctrl+O"), true, MainCommand::OpenArchive);
    file->addSeparator();
    AddMenuItem(file, item, QStringLiteral("mnuExit"), QStringLiteral("E&xit"), {}, true, MainCommand::Exit);

    QMenu* action = menuBar()->addMenu(QStringLiteral("&Action"));
    action->setObjectName(QStringLiteral("mnuAction"));
    AddMenuItem(action, mnuConnect_, QStringLiteral("mnuConnect"), QStringLiteral("Co&nnect"),
                QStringLiteral("Ctrl+N"), true, MainCommand::ConnectMenu);
    AddMenuItem(action, mnuDisconnect_, QStringLiteral("mnuDisconnect"), QStringLiteral("&Disconnect"),
                QStringLiteral("Ctrl+D"), false, MainCommand::DisconnectMenu);
    AddMenuItem(action, mnuSampleContinuously_, QStringLiteral("mnuSampleContinuously"),
                QStringLiteral("S&ample Continuously"), QStringLiteral("Ctrl+A"), false,
                MainCommand::SampleContinuouslyMenu);
    AddMenuItem(action, loggerMenuItems_[0], QStringLiteral("mnuGetSettings"), QStringLiteral("&Get Sample"),
                QStringLiteral("Ctrl+G"), false, MainCommand::GetSample);
    AddMenuItem(action, loggerMenuItems_[1], QStringLiteral("mnuGetHistoryData"), QStringLiteral("Get &History Data"),
                QStringLiteral("Ctrl+H"), false, MainCommand::GetHistory);
    AddMenuItem(action, item, QStringLiteral("mnuLiveGraph"), QStringLiteral("&Live Graph"), QStringLiteral("Ctrl+L"),
                true, MainCommand::LiveGraph);
    AddMenuItem(action, loggerMenuItems_[2], QStringLiteral("mnuClearHistory"), QStringLiteral("&Clear History"),
                QStringLiteral("Ctrl+C"), false, MainCommand::ClearHistory);
    AddMenuItem(action, loggerMenuItems_[3], QStringLiteral("mnuSynchronizeTime"),
                QStringLiteral("Synchronize &Time"), QStringLiteral("Ctrl+T"), false, MainCommand::SynchronizeTime);
    AddMenuItem(action, loggerMenuItems_[4], QStringLiteral("mnuSetup"), QStringLiteral("&Setup"),
                QStringLiteral("Ctrl+S"), false, MainCommand::Setup);
    AddMenuItem(action, loggerMenuItems_[5], QStringLiteral("mnuResetPulseAccs"),
                QStringLiteral("&Reset Pulse Accumulators"), QStringLiteral("Ctrl+R"), false,
                MainCommand::ResetPulseAccumulators);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    AddMenuItem(help, item, QStringLiteral("mnuLaunchHelp"), QStringLiteral("&Help..."), {}, true, MainCommand::Help);
    AddMenuItem(help, item, QStringLiteral("mnuAbout"), QStringLiteral("&About..."), {}, true, MainCommand::About);
    AddMenuItem(help, item, QStringLiteral("mnuCommLog"), QStringLiteral("&Communications Log"), {}, true,
                MainCommand::CommunicationsLog);
    AddMenuItem(help, mnuFirmwareVersion_, QStringLiteral("mnuFirmwareVersion"), QStringLiteral("&Firmware Version"),
                {}, false, MainCommand::FirmwareVersion);
}

void MainWindow::BuildStatusFrames(QWidget* surface)
{
    constexpr int row1 = 60;
    constexpr int row2 = row1 + kFrameHeight + 120;
    const auto add = [&](StatusLabel label, const char* frame, const char* title, const char* name, int left,
                         int top, int width, QGroupBox** frameOut = nullptr) {
        statusLabels_[static_cast<size_t>(label)] =
            MakeStatusFrame(surface, QLatin1String(frame), QLatin1String(title), QLatin1String(name), left, top,
                            width, frameOut);
    };
    add(StatusLabel::LoggerName, "fraLoggerName", "Logger Name", "lblLoggerName", 120, row1, 2760);
    add(StatusLabel::LoggerTime, "fraDateTime", "Logger Time", "lblDateTime", 3000, row1, 2520);
    add(StatusLabel::SampleInterval, "fraSampleInterval", "Interval", "lblSampleInterval", 5640, row1, 1500);
    add(StatusLabel::Records, "fraRecordings", "Records", "lblRecordings", 7260, row1, 1260);
    lblCommStatus_ = MakeStatusFrame(surface, QStringLiteral("fraCommStatus"), QStringLiteral("Comm Status"),
                                     QStringLiteral("lblCommStatus"), 8640, row1, 1560);
    lblCommStatus_->setText(QStringLiteral("Not Connected"));
    SetTextColour(lblCommStatus_, kNotConnectedColour);
    add(StatusLabel::LoggingState, "fraLoggingState", "Logging State", "lblLoggingState", 120, row2, 2760);
    add(StatusLabel::Warmup, "fraWarmup", "Warmup", "lblWarmup", 3000, row2, 1020);
    add(StatusLabel::Alarm1, "fraAlarm0", "Alarm 1", "lblAlarm0", 4140, row2, 1440);
    add(StatusLabel::Alarm2, "fraAlarm1", "Alarm 2", "lblAlarm1", 5700, row2, 1440);
    add(StatusLabel::Pulse1, "fraPulse1", "Pulse Channel 1", "lblPulseValue1", 7260, row2, 1440, &fraPulse1_);
    add(StatusLabel::Pulse2, "fraPulse2", "Pulse Channel 2", "lblPulseValue2", 8760, row2, 1440, &fraPulse2_);
}

QPushButton* MainWindow::AddButton(QWidget* surface, const QString& name, const QString& text, int left,
                                   MainCommand command)
{
    auto* button = new QPushButton(text, surface);
    button->setObjectName(name);
    button->setGeometry(TwipsRect(left, kButtonTop, 1260, kButtonHeight));
    connect(button, &QPushButton::clicked, this, [this, command] { emit CommandChosen(command); });
    return button;
}

void MainWindow::BuildButtons(QWidget* surface)
{
    cmdConnect_ = AddButton(surface, QStringLiteral("cmdConnect"), QStringLiteral("Connect"), 120, MainCommand::Connect);
    loggerButtons_ = {
        AddButton(surface, QStringLiteral("cmdGetSettings"), QStringLiteral("Get Sample"), 1440, MainCommand::GetSample),
        AddButton(surface, QStringLiteral("cmdGetHistoryData"), QStringLiteral("Get History "), 2760,
                  MainCommand::GetHistory),
        AddButton(surface, QStringLiteral("cmdClearMemory"), QStringLiteral("Clear History"), 4080,
                  MainCommand::ClearHistory),
        AddButton(surface, QStringLiteral("cmdSynchronizeTime"), QStringLiteral("Sync Time"), 5400,
                  MainCommand::SynchronizeTime),
        AddButton(surface, QStringLiteral("cmdSetup"), QStringLiteral("Setup"), 6720, MainCommand::Setup)};
    for (QPushButton* button : loggerButtons_) {
        button->setEnabled(false);
    }
    chkSampleContinuously_ = new QCheckBox(QStringLiteral("Sample Continuously"), surface);
    chkSampleContinuously_->setObjectName(QStringLiteral("chkSampleContinuously"));
    chkSampleContinuously_->setGeometry(TwipsRect(8100, kButtonTop, 2160, kButtonHeight));
    chkSampleContinuously_->setEnabled(false);
    connect(chkSampleContinuously_, &QCheckBox::clicked, this,
            [this] { emit CommandChosen(MainCommand::SampleContinuouslyBox); });
}
