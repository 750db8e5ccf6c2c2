#include "app/MainWindow.h"

#include "app/MeterBar.h"
#include "app/MeterLayout.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QStatusBar>
#include <QPushButton>

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

QLabel* MakeLabel(QWidget* parent, const QString& name, const QRect& twips, const QString& text = {})
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(TwipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    return label;
}

QGroupBox* MakeFrame(QWidget* parent, const QString& name, const QString& title, const QRect& twips)
{
    auto* frame = new QGroupBox(title, parent);
    frame->setObjectName(name);
    frame->setGeometry(TwipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    return frame;
}

// A small status frame with one value label inside.
QLabel* MakeStatusFrame(QWidget* parent, const QString& frameName, const QString& title, const QString& labelName,
                        int left, int top, int width, QGroupBox** frameOut = nullptr)
{
    QGroupBox* frame = MakeFrame(parent, frameName, title, QRect(left, top, width, kFrameHeight));
    if (frameOut) {
        *frameOut = frame;
    }
    return MakeLabel(frame, labelName, QRect(90, 270, width - 180, 270));
}

QAction* MakeAction(QMenu* menu, const QString& name, const QString& text, const QKeySequence& shortcut,
                    bool enabled)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    action->setEnabled(enabled);
    return action;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text, int left)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(TwipsRect(left, kButtonTop, 1260, kButtonHeight));
    return button;
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
    buildMenus();
    buildStatusFrames(surface);
    buildButtons(surface);
    buildMeters(surface);
    buildFlowModePanel(surface);
    ui_.lblClockOffset = new QLabel;
    ui_.lblClockOffset->setObjectName(QStringLiteral("lblClockOffset"));
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(ui_.lblClockOffset);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

QRect MainWindow::MeterFrameTwips(int column)
{
    return QRect(kMeterLeft + MeterLayout::ColumnPitch * column, kMeterTop, kMeterWidth, kMeterHeight);
}

QRect MainWindow::ColumnFrameTwips()
{
    return QRect(120, 300, 360, 2640);
}

int MainWindow::InnerWidthTwips()
{
    return kInnerWidth;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    emit closing();
    event->accept();
}

void MainWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    ui_.mnuExit = MakeAction(file, QStringLiteral("mnuExit"), QStringLiteral("E&xit"), {}, true);

    QMenu* action = menuBar()->addMenu(QStringLiteral("&Action"));
    action->setObjectName(QStringLiteral("mnuAction"));
    ui_.mnuConnect = MakeAction(action, QStringLiteral("mnuConnect"), QStringLiteral("Co&nnect"),
                                QKeySequence(QStringLiteral("Ctrl+N")), true);
    ui_.mnuDisconnect = MakeAction(action, QStringLiteral("mnuDisconnect"), QStringLiteral("&Disconnect"),
                                   QKeySequence(QStringLiteral("Ctrl+D")), false);
    ui_.mnuSampleContinuously =
        MakeAction(action, QStringLiteral("mnuSampleContinuously"), QStringLiteral("S&ample Continuously"),
                   QKeySequence(QStringLiteral("Ctrl+A")), false);
    ui_.mnuGetSettings = MakeAction(action, QStringLiteral("mnuGetSettings"), QStringLiteral("&Get Sample"),
                                    QKeySequence(QStringLiteral("Ctrl+G")), false);
    ui_.mnuGetHistoryData = MakeAction(action, QStringLiteral("mnuGetHistoryData"),
                                       QStringLiteral("Get &History Data"), QKeySequence(QStringLiteral("Ctrl+H")),
                                       false);
    ui_.mnuLiveGraph = MakeAction(action, QStringLiteral("mnuLiveGraph"), QStringLiteral("&Live Graph"),
                                  QKeySequence(QStringLiteral("Ctrl+L")), true);
    ui_.mnuClearHistory = MakeAction(action, QStringLiteral("mnuClearHistory"), QStringLiteral("&Clear History"),
                                     QKeySequence(QStringLiteral("Ctrl+C")), false);
    ui_.mnuSynchronizeTime = MakeAction(action, QStringLiteral("mnuSynchronizeTime"),
                                        QStringLiteral("Synchronize &Time"), QKeySequence(QStringLiteral("Ctrl+T")),
                                        false);
    ui_.mnuSetup = MakeAction(action, QStringLiteral("mnuSetup"), QStringLiteral("&Setup"),
                              QKeySequence(QStringLiteral("Ctrl+S")), false);
    ui_.mnuResetPulseAccs = MakeAction(action, QStringLiteral("mnuResetPulseAccs"),
                                       QStringLiteral("&Reset Pulse Accumulators"),
                                       QKeySequence(QStringLiteral("Ctrl+R")), false);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    ui_.mnuLaunchHelp = MakeAction(help, QStringLiteral("mnuLaunchHelp"), QStringLiteral("&Help..."), {}, true);
    ui_.mnuAbout = MakeAction(help, QStringLiteral("mnuAbout"), QStringLiteral("&About..."), {}, true);
    ui_.mnuCommLog = MakeAction(help, QStringLiteral("mnuCommLog"), QStringLiteral("&Communications Log"), {}, true);
    ui_.mnuFirmwareVersion = MakeAction(help, QStringLiteral("mnuFirmwareVersion"),
                                        QStringLiteral("&Firmware Version"), {}, false);
}

void MainWindow::buildStatusFrames(QWidget* surface)
{
    constexpr int row1 = 60;
    constexpr int row2 = row1 + kFrameHeight + 120;
    ui_.lblLoggerName = MakeStatusFrame(surface, QStringLiteral("fraLoggerName"), QStringLiteral("Logger Name"),
                                        QStringLiteral("lblLoggerName"), 120, row1, 2760);
    ui_.lblDateTime = MakeStatusFrame(surface, QStringLiteral("fraDateTime"), QStringLiteral("Logger Time"),
                                      QStringLiteral("lblDateTime"), 3000, row1, 2520);
    ui_.lblSampleInterval = MakeStatusFrame(surface, QStringLiteral("fraSampleInterval"), QStringLiteral("Interval"),
                                            QStringLiteral("lblSampleInterval"), 5640, row1, 1500);
    ui_.lblRecordings = MakeStatusFrame(surface, QStringLiteral("fraRecordings"), QStringLiteral("Records"),
                                        QStringLiteral("lblRecordings"), 7260, row1, 1260);
    ui_.lblCommStatus = MakeStatusFrame(surface, QStringLiteral("fraCommStatus"), QStringLiteral("Comm Status"),
                                        QStringLiteral("lblCommStatus"), 8640, row1, 1560);

    ui_.lblLoggingState = MakeStatusFrame(surface, QStringLiteral("fraLoggingState"),
                                          QStringLiteral("Logging State"), QStringLiteral("lblLoggingState"), 120,
                                          row2, 2760);
    ui_.lblWarmup = MakeStatusFrame(surface, QStringLiteral("fraWarmup"), QStringLiteral("Warmup"),
                                    QStringLiteral("lblWarmup"), 3000, row2, 1020);
    ui_.lblAlarm[0] = MakeStatusFrame(surface, QStringLiteral("fraAlarm0"), QStringLiteral("Alarm 1"),
                                      QStringLiteral("lblAlarm0"), 4140, row2, 1440);
    ui_.lblAlarm[1] = MakeStatusFrame(surface, QStringLiteral("fraAlarm1"), QStringLiteral("Alarm 2"),
                                      QStringLiteral("lblAlarm1"), 5700, row2, 1440);
    ui_.lblPulseValue1 = MakeStatusFrame(surface, QStringLiteral("fraPulse1"), QStringLiteral("Pulse Channel 1"),
                                         QStringLiteral("lblPulseValue1"), 7260, row2, 1440, &ui_.fraPulse1);
    ui_.lblPulseValue2 = MakeStatusFrame(surface, QStringLiteral("fraPulse2"), QStringLiteral("Pulse Channel 2"),
                                         QStringLiteral("lblPulseValue2"), 8760, row2, 1440, &ui_.fraPulse2);
}

void MainWindow::buildButtons(QWidget* surface)
{
    ui_.cmdConnect = MakeButton(surface, QStringLiteral("cmdConnect"), QStringLiteral("Connect"), 120);
    ui_.cmdGetSettings = MakeButton(surface, QStringLiteral("cmdGetSettings"), QStringLiteral("Get Sample"), 1440);
    ui_.cmdGetHistoryData =
        MakeButton(surface, QStringLiteral("cmdGetHistoryData"), QStringLiteral("Get History "), 2760);
    ui_.cmdClearMemory = MakeButton(surface, QStringLiteral("cmdClearMemory"), QStringLiteral("Clear History"), 4080);
    ui_.cmdSynchronizeTime =
        MakeButton(surface, QStringLiteral("cmdSynchronizeTime"), QStringLiteral("Sync Time"), 5400);
    ui_.cmdSetup = MakeButton(surface, QStringLiteral("cmdSetup"), QStringLiteral("Setup"), 6720);
    for (QPushButton* button : {ui_.cmdGetSettings, ui_.cmdGetHistoryData, ui_.cmdClearMemory,
                                ui_.cmdSynchronizeTime, ui_.cmdSetup}) {
        button->setEnabled(false);
    }
    ui_.chkSampleContinuously = new QCheckBox(QStringLiteral("Sample Continuously"), surface);
    ui_.chkSampleContinuously->setObjectName(QStringLiteral("chkSampleContinuously"));
    ui_.chkSampleContinuously->setGeometry(TwipsRect(8100, kButtonTop, 2160, kButtonHeight));
    ui_.chkSampleContinuously->setEnabled(false);
}

void MainWindow::buildMeters(QWidget* surface)
{
    const QRect bar = ColumnFrameTwips();
    const int scaleLeft = bar.right() + 1 + 30;
    const int scaleWidth = kMeterWidth - scaleLeft - 30;
    for (int i = 0; i < 8; ++i) {
        MeterWidgets& meter = ui_.meters[static_cast<size_t>(i)];
        const QString n = QString::number(i);
        meter.fraMeter = MakeFrame(surface, QStringLiteral("fraMeter") + n, QString::number(i + 1), MeterFrameTwips(i));
        meter.fraColumn = new MeterBar(meter.fraMeter);
        meter.fraColumn->setObjectName(QStringLiteral("fraColumn") + n);
        meter.fraColumn->setGeometry(TwipsRect(bar.x(), bar.y(), bar.width(), bar.height()));
        meter.lblMax = MakeLabel(meter.fraMeter, QStringLiteral("lblMax") + n, QRect(scaleLeft, bar.y(), scaleWidth, 240));
        meter.lblUnits = MakeLabel(meter.fraMeter, QStringLiteral("lblUnits") + n,
                                   QRect(scaleLeft, bar.y() + bar.height() / 2 - 240, scaleWidth, 480));
        meter.lblUnits->setWordWrap(true);
        meter.lblMin = MakeLabel(meter.fraMeter, QStringLiteral("lblMin") + n,
                                 QRect(scaleLeft, bar.y() + bar.height() - 240, scaleWidth, 240));
        meter.lblValue = MakeLabel(meter.fraMeter, QStringLiteral("lblValue") + n,
                                   QRect(60, bar.y() + bar.height() + 60, kMeterWidth - 120, 270));
        meter.lblValue->setAlignment(Qt::AlignCenter);
        QFont bold = meter.lblValue->font();
        bold.setBold(true);
        meter.lblValue->setFont(bold);
        meter.lblHistory = MakeLabel(meter.fraMeter, QStringLiteral("lblHistory") + n,
                                     QRect(60, bar.y() + bar.height() + 360, kMeterWidth - 120, 1140));
        meter.lblHistory->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
}

void MainWindow::buildFlowModePanel(QWidget* surface)
{
    ui_.fraFlowMode = MakeFrame(surface, QStringLiteral("fraFlowMode"), QString(), MeterFrameTwips(5));
    constexpr int captionWidth = 1380;
    int top = 240;
    auto row = [&](QLabel*& caption, const QString& captionName, const QString& captionText, QLabel*& value,
                   const QString& valueName) {
        caption = MakeLabel(ui_.fraFlowMode, captionName, QRect(120, top, captionWidth, 270), captionText);
        value = MakeLabel(ui_.fraFlowMode, valueName, QRect(120 + captionWidth, top, 2500, 270));
        top += 360;
    };
    row(ui_.lblFlowMode2, QStringLiteral("lblFlowMode2"), QStringLiteral("Flow Mode:"), ui_.lblFlowMode,
        QStringLiteral("lblFlowMode"));
    row(ui_.lblFWT, QStringLiteral("lblFWT"), QString(), ui_.lblFWT2, QStringLiteral("lblFWT2"));
    row(ui_.lblPipeDiameter, QStringLiteral("lblPipeDiameter"), QStringLiteral("Pipe Diameter:"),
        ui_.lblPipeDiameter2, QStringLiteral("lblPipeDiameter2"));
    row(ui_.lblSlope, QStringLiteral("lblSlope"), QStringLiteral("Slope:"), ui_.lblSlope2,
        QStringLiteral("lblSlope2"));
    row(ui_.lblRoughness, QStringLiteral("lblRoughness"), QStringLiteral("Roughness:"), ui_.lblRoughness2,
        QStringLiteral("lblRoughness2"));
    row(ui_.lblOffset, QStringLiteral("lblOffset"), QStringLiteral("Level Offset:"), ui_.lblOffset2,
        QStringLiteral("lblOffset2"));
    // Without a connected logger the panel shows only its frame.
    for (QLabel* label : ui_.fraFlowMode->findChildren<QLabel*>()) {
        label->hide();
    }
}
