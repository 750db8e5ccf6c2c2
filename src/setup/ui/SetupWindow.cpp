#include "setup/ui/SetupWindow.h"

#include "config/LoggerSettings.h"
#include "config/RecentFiles.h"
#include "config/SettingsImage.h"
#include "config/SetupFileCommands.h"
#include "core/ErrorTrap.h"
#include "core/ProgramOptions.h"
#include "flow/FlowSource.h"
#include "setup/ui/AnalogPage.h"
#include "setup/ui/DigitalPage.h"
#include "setup/ui/FieldGuard.h"
#include "setup/ui/FlowPage.h"
#include "setup/ui/GeneralPage.h"

#include <QHBoxLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

SetupWindow::SetupWindow(SetupContext context, QWidget* parent)
    : QDialog(parent), ctx_(std::move(context))
{
    setObjectName(QStringLiteral("frmSetup"));
    setWindowTitle(QStringLiteral("Brevel Flow Monitor Setup"));
    setModal(true);
    if (parent != nullptr) {
        setWindowIcon(parent->windowIcon());
    }
    const bool trapping = ctx_.Options.ErrorTrapping;
    guard_ = new FieldGuard(ctx_.Prompts, trapping, this);
    files_ = std::make_unique<SetupFileCommands>(ctx_.Prompts, ctx_.Dialogs, ctx_.LastFilePath, ctx_.RecentFiles,
                                                 ctx_.AppFolder, trapping);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Px(50), Px(100), Px(100), Px(100));
    BuildMenus();

    auto* tabs = Named(new QTabWidget, QStringLiteral("TabStrip"));
    tabs->setMinimumHeight(Px(5452));
    analog_ = new AnalogPage(ctx_.Settings.NumAnalogChannels, ctx_.Prompts, *guard_, trapping);
    digital_ = new DigitalPage(ctx_.Settings.NumDigitalChannels, *guard_, trapping);
    general_ = new GeneralPage(ctx_.Settings.SodSupported, *guard_, trapping);
    flow_ = new FlowPage(
        ctx_.Catalogues,
        [this] {
            return BrowseForFlowTable(ctx_.Dialogs, ctx_.Prompts, ctx_.Rating, ctx_.AppFolder,
                                      ctx_.Options.ErrorTrapping);
        },
        *guard_, trapping);
    const std::array<std::pair<QWidget*, const char*>, 4> pages{
        {{analog_, "Analog Channels"}, {digital_, "Digital Channels"}, {general_, "General"},
         {flow_, "Flow Calculation"}}};
    for (size_t i = 0; i < pages.size(); ++i) {
        pages[i].first->setObjectName(QStringLiteral("Frames_%1").arg(i));
        tabs->addTab(pages[i].first, QLatin1String(pages[i].second));
    }
    tabs->setCurrentWidget(general_);
    layout->addWidget(tabs);

    programButton_ = Named(new QPushButton(QStringLiteral("Program Settings")), QStringLiteral("cmdOK"),
                           QStringLiteral("Write setup values to logger flash memory"));
    closeButton_ = Named(new QPushButton(QStringLiteral("Back to Main Window")), QStringLiteral("cmdCancel"));
    // A click on a command leaves the focus in the field being edited, so the
    // command's own check of that field is the only one and says why it waits.
    for (QPushButton* command : {programButton_, closeButton_}) {
        command->setAutoDefault(false);
        command->setFocusPolicy(Qt::TabFocus);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(programButton_);
    buttons->addWidget(closeButton_);
    layout->addLayout(buttons);

    connect(programButton_, &QPushButton::clicked, this, &SetupWindow::Program);
    connect(closeButton_, &QPushButton::clicked, this, &QWidget::close);
    connect(analog_, &AnalogPage::CalibrateRequested, this, &SetupWindow::Calibrate);

    refreshTimer_ = Named(new QTimer(this), QStringLiteral("Timer1"));
    refreshTimer_->setInterval(250);
    connect(refreshTimer_, &QTimer::timeout, this, &SetupWindow::Refresh);

    // Remember the settings as they are now, and show them.
    savedImage_ = CurrentImage();
    loggerImage_ = savedImage_;
    ShowSettings();
    Refresh(); // the alarm fields and recent files look right from the start
    refreshTimer_->start();
}

SetupWindow::~SetupWindow() = default;

void SetupWindow::BuildMenus()
{
    auto* menuBar = new QMenuBar(this);
    layout()->setMenuBar(menuBar);
    QMenu* file = menuBar->addMenu(QStringLiteral("&File"));
    QAction* save = Named(file->addAction(QStringLiteral("&Save Setup File")), QStringLiteral("mnuSave"));
    QAction* load = Named(file->addAction(QStringLiteral("&Load Setup File")), QStringLiteral("mnuLoad"));
    recentSeparator_ = Named(file->addSeparator(), QStringLiteral("mnuSep1"));
    for (int i = 0; i < 4; ++i) {
        recentFiles_[i] = Named(file->addAction(RecentFileCaption(i, QString())), Indexed("mnuHist", i));
        connect(recentFiles_[i], &QAction::triggered, this, [this, i] { LoadRecentFile(i); });
    }
    Named(file->addSeparator(), QStringLiteral("mnuSep2"));
    QAction* exit = Named(file->addAction(QStringLiteral("E&xit Back to Main Window")), QStringLiteral("mnuExit"));
    QMenu* action = menuBar->addMenu(QStringLiteral("&Action"));
    QAction* program = Named(action->addAction(QStringLiteral("&Program Settings")), QStringLiteral("mnuDownload"));
    QAction* initialize =
        Named(action->addAction(QStringLiteral("&Initialize to Default Values")), QStringLiteral("mnuInitialize"));
    QMenu* help = menuBar->addMenu(QStringLiteral("&Help"));
    QAction* manual = Named(help->addAction(QStringLiteral("&Help")), QStringLiteral("mnuLaunchHelp"));
    QAction* about = Named(help->addAction(QStringLiteral("&About")), QStringLiteral("mnuAbout"));

    connect(save, &QAction::triggered, this, [this] { SaveSetup(); });
    connect(load, &QAction::triggered, this, &SetupWindow::LoadSetup);
    connect(exit, &QAction::triggered, this, [this] { closeButton_->click(); });
    connect(program, &QAction::triggered, this, &SetupWindow::Program);
    connect(initialize, &QAction::triggered, this, &SetupWindow::InitializeToDefaults);
    connect(manual, &QAction::triggered, this, [this] {
        if (ctx_.ShowHelp) {
            ctx_.ShowHelp();
        }
    });
    connect(about, &QAction::triggered, this, [this] {
        if (ctx_.ShowAbout) {
            ctx_.ShowAbout();
        }
    });
}

// Shown in this order so that channel 1's unit warning comes once the
// channels are all shown, as it names the page to correct them on.
void SetupWindow::ShowSettings()
{
    general_->Load(ctx_.Settings);
    digital_->Load(ctx_.Settings);
    analog_->Load(ctx_.Settings);
    flow_->Load(ctx_.Settings);
}

// A failure (a list with nothing selected) ends the copy there; the fields
// already copied keep their new values.
void SetupWindow::StoreSettings()
{
    RunTrapped(
        ctx_.Options.ErrorTrapping,
        [this] {
            general_->Store(ctx_.Settings);
            analog_->Store(ctx_.Settings);
            digital_->Store(ctx_.Settings);
            flow_->Store(ctx_.Settings);
        },
        [] {});
}

bool SetupWindow::CommitLastField()
{
    return guard_->CommitLastField();
}

void SetupWindow::Refresh()
{
    general_->EnableAlarmTimes();
    // Only recent files that are there show, and their separator with them:
    // with none, Exit follows Load after a single separator.
    bool anyRecent = false;
    for (int i = 0; i < 4; ++i) {
        const QString caption = RecentFileCaption(i, ctx_.RecentFiles[i]);
        if (recentFiles_[i]->text() != caption) {
            recentFiles_[i]->setText(caption);
        }
        recentFiles_[i]->setVisible(!ctx_.RecentFiles[i].isEmpty());
        anyRecent = anyRecent || !ctx_.RecentFiles[i].isEmpty();
    }
    recentSeparator_->setVisible(anyRecent);
}
