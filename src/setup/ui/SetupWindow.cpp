#include "setup/ui/SetupWindow.h"

#include "config/LoggerSettings.h"
#include "config/RecentFiles.h"
#include "config/SettingsImage.h"
#include "config/SetupFileCommands.h"
#include "core/ProgramOptions.h"
#include "link/ExchangeGuard.h"
#include "link/LinkState.h"
#include "flow/FlowSource.h"
#include "platform/ui/TypedComboBox.h"
#include "setup/ChoiceLists.h"
#include "setup/FieldChecks.h"
#include "setup/ui/FieldGuard.h"

#include <QButtonGroup>
#include <algorithm>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The window's geometry is kept in twips; 15 twips to a pixel at 96 dots per inch.
constexpr int Px(int twips)
{
    return (twips + 7) / 15;
}

constexpr int RowHeight = 24;
// Channel frames stand 1040 twips apart, or wider when the system font
// needs it for "Enable", "Calibrate" and the unit names.
constexpr int ChannelWidth = std::max(Px(1040), 90);

template <typename Widget>
Widget* Named(Widget* widget, const QString& name, const QString& toolTip = {})
{
    widget->setObjectName(name);
    if constexpr (requires { widget->setToolTip(toolTip); }) {
        if (!toolTip.isEmpty()) {
            widget->setToolTip(toolTip);
        }
    }
    return widget;
}

QString Indexed(const char* name, int index)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index);
}

QComboBox* PickList(const QString& name, const QStringList& items = {})
{
    auto* combo = Named(new QComboBox, name);
    combo->addItems(items);
    return combo;
}

QComboBox* EditableList(const QString& name, const QStringList& items = {})
{
    auto* combo = PickList(name, items);
    MakeTypeable(combo);
    return combo;
}

// A column of fixed-height rows, so the captions beside the first channel
// line up with every channel's controls.
QVBoxLayout* RowColumn(QWidget* parent)
{
    auto* column = new QVBoxLayout(parent);
    column->setSpacing(4);
    column->setContentsMargins(4, 4, 4, 4);
    return column;
}

void AddRow(QVBoxLayout* column, QWidget* widget)
{
    widget->setFixedHeight(RowHeight);
    column->addWidget(widget);
}

} // namespace

SetupWindow::SetupWindow(SetupContext context, QWidget* parent)
    : QDialog(parent), ctx_(std::move(context))
{
    setObjectName(QStringLiteral("frmSetup"));
    setWindowTitle(QStringLiteral("Brevel Flow Monitor Setup"));
    setModal(true);
    if (parent != nullptr) {
        setWindowIcon(parent->windowIcon());
    }
    guard_ = new FieldGuard(ctx_.Prompts, ctx_.Options.ErrorTrapping, this);
    files_ = std::make_unique<SetupFileCommands>(ctx_.Prompts, ctx_.Dialogs, ctx_.LastFilePath, ctx_.RecentFiles,
                                                 ctx_.AppFolder, ctx_.Options.ErrorTrapping);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Px(50), Px(100), Px(100), Px(100));
    BuildMenus();
    layout->setMenuBar(menuBar_);

    TabStrip = Named(new QTabWidget, QStringLiteral("TabStrip"));
    TabStrip->setMinimumHeight(Px(5452));
    Frames = {BuildAnalogPage(), BuildDigitalPage(), BuildGeneralPage(), BuildFlowPage()};
    const QStringList captions{QStringLiteral("Analog Channels"), QStringLiteral("Digital Channels"),
                               QStringLiteral("General"), QStringLiteral("Flow Calculation")};
    for (int i = 0; i < 4; ++i) {
        Frames[i]->setObjectName(QStringLiteral("Frames_%1").arg(i));
        TabStrip->addTab(Frames[i], captions[i]);
    }
    layout->addWidget(TabStrip);

    cmdOK = Named(new QPushButton(QStringLiteral("Program Settings")), QStringLiteral("cmdOK"),
                  QStringLiteral("Write setup values to logger flash memory"));
    cmdCancel = Named(new QPushButton(QStringLiteral("Back to Main Window")), QStringLiteral("cmdCancel"));
    // A click on a command leaves the focus in the field being edited, so the
    // command's own check of that field is the only one and says why it waits.
    for (QPushButton* command : {cmdOK, cmdCancel}) {
        command->setAutoDefault(false);
        command->setFocusPolicy(Qt::TabFocus);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &SetupWindow::Program);
    connect(cmdCancel, &QPushButton::clicked, this, &QWidget::close);
    connect(TabStrip, &QTabWidget::currentChanged, this, &SetupWindow::ShowPage);

    Timer1 = Named(new QTimer(this), QStringLiteral("Timer1"));
    Timer1->setInterval(250);
    connect(Timer1, &QTimer::timeout, this, &SetupWindow::TickTimer);

    FillLists();
    InstallFieldChecks();
    TabStrip->setCurrentIndex(2);
    ShowPage(2);

    // The opening steps of the editor: remember the settings as they are now,
    // show them.
    savedImage_ = CurrentImage();
    loggerImage_ = savedImage_;
    ShowSettingsInEditor();
    TickTimer(); // the alarm fields and recent files look right from the start
    Timer1->start();
}

SetupWindow::~SetupWindow() = default;

void SetupWindow::BuildMenus()
{
    menuBar_ = new QMenuBar(this);
    QMenu* file = menuBar_->addMenu(QStringLiteral("&File"));
    mnuSave = Named(file->addAction(QStringLiteral("&Save Setup File")), QStringLiteral("mnuSave"));
    mnuLoad = Named(file->addAction(QStringLiteral("&Load Setup File")), QStringLiteral("mnuLoad"));
    mnuSep1 = Named(file->addSeparator(), QStringLiteral("mnuSep1"));
    for (int i = 0; i < 4; ++i) {
        mnuHist[i] = Named(file->addAction(RecentFileCaption(i, QString())), Indexed("mnuHist", i));
        connect(mnuHist[i], &QAction::triggered, this, [this, i] { LoadRecentFile(i); });
    }
    Named(file->addSeparator(), QStringLiteral("mnuSep2"));
    mnuExit = Named(file->addAction(QStringLiteral("E&xit Back to Main Window")), QStringLiteral("mnuExit"));
    QMenu* action = menuBar_->addMenu(QStringLiteral("&Action"));
    mnuDownload = Named(action->addAction(QStringLiteral("&Program Settings")), QStringLiteral("mnuDownload"));
    mnuInitialize =
        Named(action->addAction(QStringLiteral("&Initialize to Default Values")), QStringLiteral("mnuInitialize"));
    QMenu* help = menuBar_->addMenu(QStringLiteral("&Help"));
    mnuLaunchHelp = Named(help->addAction(QStringLiteral("&Help")), QStringLiteral("mnuLaunchHelp"));
    mnuAbout = Named(help->addAction(QStringLiteral("&About")), QStringLiteral("mnuAbout"));

    connect(mnuSave, &QAction::triggered, this, [this] { SaveSetup(); });
    connect(mnuLoad, &QAction::triggered, this, &SetupWindow::LoadSetup);
    connect(mnuExit, &QAction::triggered, this, [this] { cmdCancel->click(); });
    connect(mnuDownload, &QAction::triggered, this, &SetupWindow::Program);
    connect(mnuInitialize, &QAction::triggered, this, &SetupWindow::InitializeToDefaults);
    connect(mnuLaunchHelp, &QAction::triggered, this, [this] {
        if (ctx_.ShowHelp) {
            ctx_.ShowHelp();
        }
    });
    connect(mnuAbout, &QAction::triggered, this, [this] {
        if (ctx_.ShowAbout) {
            ctx_.ShowAbout();
        }
    });
}

QWidget* SetupWindow::BuildAnalogPage()
{
    auto* page = new QWidget;
    auto* row = new QHBoxLayout(page);
    row->setSpacing(0);

    auto* captions = new QGroupBox(QStringLiteral("Channel"));
    auto* captionColumn = RowColumn(captions);
    AddRow(captionColumn, new QLabel);
    for (const char* caption :
         {"Units", "High EU", "Low EU", "High Raw", "Low Raw", "Disp High", "Disp Low", "Decimal Places"}) {
        AddRow(captionColumn, new QLabel(QLatin1String(caption)));
    }
    AddRow(captionColumn, new QLabel);
    captionColumn->addStretch();
    row->addWidget(captions);

    for (int c = 0; c < 8; ++c) {
        fraSetup[c] = Named(new QGroupBox(QString::number(c + 1)), Indexed("fraSetup", c));
        fraSetup[c]->setFixedWidth(ChannelWidth);
        auto* column = RowColumn(fraSetup[c]);
        chkEnable[c] = Named(new QCheckBox(QStringLiteral("Enable")), Indexed("chkEnable", c),
                             QStringLiteral("Selects if channel is included in display and history "));
        cmbEU[c] = EditableList(Indexed("cmbEU", c));
        cmbEU[c]->setToolTip(QStringLiteral("Name of measurement engineering units (9 characters max)"));
        auto edit = [](const char* name, int index, const char* tip) {
            return Named(new QLineEdit, Indexed(name, index), QLatin1String(tip));
        };
        txtHighEU[c] = edit("txtHighEU", c,
                            "Floating point value of upper calibration point expressed in engineering units");
        txtLowEU[c] = edit("txtLowEU", c,
                           "Floating point value of lower calibration point expressed in engineering units");
        txtHighRaw[c] = edit("txtHighRaw", c, "Integer value of upper calibration point ( 0-65535)");
        txtLowRaw[c] = edit("txtLowRaw", c, "Integer value of lower calibration point (0-65535)");
        txtTop[c] = edit("txtTop", c, "Floating point value of top of display meter");
        txtBottom[c] = edit("txtBottom", c, "Floating point value of bottom of display meter");
        cmbPrecision[c] = EditableList(Indexed("cmbPrecision", c));
        cmbPrecision[c]->setToolTip(QStringLiteral("Number of digits to display after decimal point "));
        cmdCalibrate[c] = Named(new QPushButton(QStringLiteral("Calibrate")), Indexed("cmdCalibrate", c),
                                QStringLiteral("Run dialog that assists setting calibration points"));
        cmdCalibrate[c]->setAutoDefault(false);
        cmdCalibrate[c]->setFocusPolicy(Qt::TabFocus);
        for (QWidget* control : std::initializer_list<QWidget*>{
                 chkEnable[c], cmbEU[c], txtHighEU[c], txtLowEU[c], txtHighRaw[c], txtLowRaw[c], txtTop[c],
                 txtBottom[c], cmbPrecision[c], cmdCalibrate[c]}) {
            AddRow(column, control);
        }
        column->addStretch();
        connect(cmdCalibrate[c], &QPushButton::clicked, this, [this, c] { Calibrate(c); });
        row->addWidget(fraSetup[c]);
    }
    row->addStretch();
    return page;
}

QWidget* SetupWindow::BuildDigitalPage()
{
    auto* page = new QWidget;
    for (int k = 0; k < 2; ++k) {
        fraPulse[k] = Named(new QGroupBox(QStringLiteral("Pulse Channel %1").arg(k + 1), page), Indexed("fraPulse", k));
        fraPulse[k]->setGeometry(Px(k == 0 ? 500 : 5000), Px(500), Px(4000), Px(2300));
        auto* form = new QGridLayout(fraPulse[k]);
        chkPulseEnable[k] = Named(new QCheckBox(QStringLiteral("Enable")), Indexed("chkPulseEnable", k),
                                  QStringLiteral("Selects if pulse channel is included in display and history data"));
        cmbPulseEU[k] = EditableList(Indexed("cmbPulseEU", k));
        cmbPulseEU[k]->setToolTip(QStringLiteral("Name of measurement units (9 characters max)"));
        txtPulseUnit[k] = Named(new QLineEdit, Indexed("txtPulseUnit", k),
                                QStringLiteral("Floating point value for each pulse expressed in engineering units"));
        cmbPulsePrecision[k] = EditableList(Indexed("cmbPulsePrecision", k));
        cmbPulsePrecision[k]->setToolTip(QStringLiteral("Number of digits to display after decimal point "));
        form->addWidget(chkPulseEnable[k], 0, 0, 1, 2);
        form->addWidget(Named(new QLabel(QStringLiteral("Sensor Name or Units")), Indexed("lblPulse1", k)), 1, 0);
        form->addWidget(cmbPulseEU[k], 1, 1);
        form->addWidget(Named(new QLabel(QStringLiteral("Value for Single Pulse")), Indexed("lblPulse2", k)), 2, 0);
        form->addWidget(txtPulseUnit[k], 2, 1);
        form->addWidget(Named(new QLabel(QStringLiteral("Decimal Places")), Indexed("lblPulse3", k)), 3, 0);
        form->addWidget(cmbPulsePrecision[k], 3, 1);
        form->setRowStretch(4, 1);
    }
    return page;
}

QWidget* SetupWindow::BuildGeneralPage()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setColumnStretch(3, 1);

    txtName = Named(new QLineEdit, QStringLiteral("txtName"));
    txtName->setMaximumWidth(320);
    grid->addWidget(new QLabel(QStringLiteral("Name")), 0, 0);
    grid->addWidget(txtName, 0, 1, 1, 3);

    cmbWarmup = EditableList(QStringLiteral("cmbWarmup"));
    grid->addWidget(new QLabel(QStringLiteral("Sensor Warmup Time")), 1, 0);
    grid->addWidget(cmbWarmup, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("seconds")), 1, 2);

    cmbBaud = EditableList(QStringLiteral("cmbBaud"));
    grid->addWidget(new QLabel(QStringLiteral("Baud Rate")), 2, 0);
    grid->addWidget(cmbBaud, 2, 1, 1, 2);

    auto* style = Named(new QGroupBox(QStringLiteral("Logging Style")), QStringLiteral("fraLoggingStyle"));
    auto* styleGrid = new QGridLayout(style);
    optPeriodic = Named(new QRadioButton(QStringLiteral("Sample periodically every")), QStringLiteral("optPeriodic"));
    txtSampleInterval = Named(new QLineEdit, QStringLiteral("txtSampleInterval"));
    txtSampleInterval->setMaximumWidth(70);
    cmbSampleInterval = PickList(QStringLiteral("cmbSampleInterval"));
    optFastMode = Named(new QRadioButton(QStringLiteral("Fast sampling mode (10 times per second)")),
                        QStringLiteral("optFastMode"));
    optLogarithmic = Named(new QRadioButton(QStringLiteral("Logarithmic timing")), QStringLiteral("optLogarithmic"));
    chkException = Named(new QCheckBox(QStringLiteral("Log only if channel 1 change exceeds +/-")),
                         QStringLiteral("chkException"));
    txtException = Named(new QLineEdit, QStringLiteral("txtException"));
    txtException->setMaximumWidth(70);
    styleGrid->addWidget(optPeriodic, 0, 0);
    styleGrid->addWidget(txtSampleInterval, 0, 1);
    styleGrid->addWidget(cmbSampleInterval, 0, 2);
    styleGrid->addWidget(optFastMode, 1, 0, 1, 3);
    styleGrid->addWidget(optLogarithmic, 2, 0, 1, 3);
    styleGrid->addWidget(chkException, 3, 0);
    styleGrid->addWidget(txtException, 3, 1);
    styleGrid->addWidget(Named(new QLabel(QStringLiteral("raw units")), QStringLiteral("lblExceptionUnits")), 3, 2);
    styleGrid->setColumnStretch(3, 1);
    grid->addWidget(style, 3, 0, 1, 4);

    chkSOD = Named(new QCheckBox(QStringLiteral("Enable Sample-On-Demand")), QStringLiteral("chkSOD"));
    grid->addWidget(chkSOD, 4, 0, 1, 4);

    const char* alarmUses[] = {"Use Alarm 1 To Specify Sampling Start Time", "Use Alarm 2 To Specify Sampling Stop Time"};
    for (int a = 0; a < 2; ++a) {
        chkAlarm[a] = Named(new QCheckBox(QLatin1String(alarmUses[a])), Indexed("chkAlarm", a));
        lblAlarm[a] = Named(new QLabel(QStringLiteral("Alarm %1 Time (hh:mm:ss)").arg(a + 1)), Indexed("lblAlarm", a));
        txtAlarm[a] = Named(new QLineEdit, Indexed("txtAlarm", a));
        txtAlarm[a]->setMaximumWidth(90);
        cmbAlarm[a] = PickList(Indexed("cmbAlarm", a));
        cmbAlarm[a]->setMinimumWidth(72);
        const int top = 5 + 2 * a;
        grid->addWidget(chkAlarm[a], top, 0, 1, 4);
        auto* time = new QHBoxLayout;
        time->setContentsMargins(20, 0, 0, 0);
        time->addWidget(lblAlarm[a]);
        time->addWidget(txtAlarm[a]);
        time->addWidget(cmbAlarm[a]);
        time->addStretch();
        grid->addLayout(time, top + 1, 0, 1, 4);
    }

    chkWrap = Named(new QCheckBox(QStringLiteral("Wrap records at end of storage")), QStringLiteral("chkWrap"));
    grid->addWidget(chkWrap, 9, 0, 1, 4);
    grid->setRowStretch(10, 1);
    return page;
}

QWidget* SetupWindow::BuildFlowPage()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setColumnStretch(1, 1);

    optNoFlow = Named(new QRadioButton(QStringLiteral("No Flow Calculation")), QStringLiteral("optNoFlow"));
    optMannings = Named(new QRadioButton(QStringLiteral("Manning's Equation")), QStringLiteral("optMannings"));
    optFlume = Named(new QRadioButton(QStringLiteral("Flume:")), QStringLiteral("optFlume"));
    optWeir = Named(new QRadioButton(QStringLiteral("Weir:")), QStringLiteral("optWeir"));
    optTable = Named(new QRadioButton(QStringLiteral("Table File:")), QStringLiteral("optTable"));
    cmbFlume = PickList(QStringLiteral("cmbFlume"));
    cmbWeir = PickList(QStringLiteral("cmbWeir"));
    txtTableFile = Named(new QLineEdit, QStringLiteral("txtTableFile"));
    cmdBrowse = Named(new QPushButton(QStringLiteral("...")), QStringLiteral("cmdBrowse"));
    cmdBrowse->setAutoDefault(false);
    cmdBrowse->setFixedWidth(30);

    grid->addWidget(optNoFlow, 0, 0, 1, 3);
    grid->addWidget(optMannings, 1, 0, 1, 3);
    grid->addWidget(optFlume, 2, 0);
    grid->addWidget(cmbFlume, 2, 1, 1, 2);
    grid->addWidget(optWeir, 3, 0);
    grid->addWidget(cmbWeir, 3, 1, 1, 2);
    grid->addWidget(optTable, 4, 0);
    grid->addWidget(txtTableFile, 4, 1);
    grid->addWidget(cmdBrowse, 4, 2);

    auto* display = new QGridLayout;
    cmbFlowUnits = PickList(QStringLiteral("cmbFlowUnits"));
    txtFlowTop = Named(new QLineEdit, QStringLiteral("txtFlowTop"));
    txtOffset = Named(new QLineEdit, QStringLiteral("txtOffset"));
    cmbOffsetUnits = PickList(QStringLiteral("cmbOffsetUnits"));
    display->addWidget(new QLabel(QStringLiteral("Flow Display Units:")), 0, 0);
    display->addWidget(cmbFlowUnits, 0, 1, 1, 2);
    display->addWidget(new QLabel(QStringLiteral("Flow Display Top Value:")), 1, 0);
    display->addWidget(txtFlowTop, 1, 1);
    display->addWidget(new QLabel(QStringLiteral("Level Offset:")), 2, 0);
    display->addWidget(txtOffset, 2, 1);
    display->addWidget(cmbOffsetUnits, 2, 2);
    display->setColumnStretch(3, 1);
    grid->addLayout(display, 5, 0, 1, 3);

    frmMannings = Named(new QGroupBox(QStringLiteral("Manning's Equation Parameters")), QStringLiteral("frmMannings"));
    auto* mannings = new QGridLayout(frmMannings);
    const char* captions[] = {"Pipe Diameter:", "Slope:", "Roughness Number:", "Velocity Display Units:",
                              "Velocity Display Top:"};
    for (int i = 0; i < 5; ++i) {
        lblM[i] = Named(new QLabel(QLatin1String(captions[i])), QStringLiteral("lblM%1").arg(i + 1));
        mannings->addWidget(lblM[i], i, 0);
    }
    txtDiameter = Named(new QLineEdit, QStringLiteral("txtDiameter"));
    cmbDiameterUnits = PickList(QStringLiteral("cmbDiameterUnits"));
    txtSlope = Named(new QLineEdit, QStringLiteral("txtSlope"));
    cmbSlopeUnits = PickList(QStringLiteral("cmbSlopeUnits"));
    cmbRoughness = EditableList(QStringLiteral("cmbRoughness"));
    cmbVelUnits = PickList(QStringLiteral("cmbVelUnits"));
    txtVelTop = Named(new QLineEdit, QStringLiteral("txtVelTop"));
    mannings->addWidget(txtDiameter, 0, 1);
    mannings->addWidget(cmbDiameterUnits, 0, 2);
    mannings->addWidget(txtSlope, 1, 1);
    mannings->addWidget(cmbSlopeUnits, 1, 2);
    mannings->addWidget(cmbRoughness, 2, 1, 1, 2);
    mannings->addWidget(cmbVelUnits, 3, 1, 1, 2);
    mannings->addWidget(txtVelTop, 4, 1);
    mannings->setColumnStretch(3, 1);
    grid->addWidget(frmMannings, 6, 0, 1, 3);
    grid->setRowStretch(7, 1);

    auto* flowModes = new QButtonGroup(page);
    for (QRadioButton* option : {optNoFlow, optMannings, optFlume, optWeir, optTable}) {
        flowModes->addButton(option);
        connect(option, &QRadioButton::clicked, this, &SetupWindow::EnableFlowFields);
    }
    connect(cmdBrowse, &QPushButton::clicked, this, [this] {
        if (const auto path = BrowseForFlowTable(ctx_.Dialogs, ctx_.Prompts, ctx_.Rating, ctx_.AppFolder,
                                                 ctx_.Options.ErrorTrapping)) {
            txtTableFile->setText(*path);
        }
    });
    return page;
}

void SetupWindow::FillLists()
{
    const auto& settings = ctx_.Settings;
    fraPulse[0]->setEnabled(settings.NumDigitalChannels != 0);
    fraPulse[1]->setEnabled(settings.NumDigitalChannels >= 2);

    cmbWarmup->addItems(ChoiceLists::Numbers(0, 60));
    cmbEU[0]->addItems(ChoiceLists::FirstChannelUnits());
    for (int c = 0; c < 8; ++c) {
        cmbPrecision[c]->addItems(ChoiceLists::Numbers(0, 6));
        const bool present = c < settings.NumAnalogChannels;
        fraSetup[c]->setEnabled(present);
        for (QObject* child : fraSetup[c]->children()) {
            if (auto* control = qobject_cast<QWidget*>(child)) {
                control->setVisible(present);
            }
        }
        if (c == 0 || !present) {
            continue;
        }
        cmbEU[c]->addItems(c == settings.NumAnalogChannels - 1 ? QStringList{QStringLiteral("Volts")}
                                                               : ChoiceLists::AnalogUnits());
    }
    for (int k = 0; k < 2; ++k) {
        cmbPulseEU[k]->addItems(ChoiceLists::PulseUnits());
        cmbPulseEU[k]->setEditText(QString());
        txtPulseUnit[k]->clear();
        cmbPulsePrecision[k]->addItems(ChoiceLists::Numbers(0, 6));
        cmbPulsePrecision[k]->setEditText(QString());
    }

    txtSampleInterval->setText(QStringLiteral("1"));
    cmbSampleInterval->addItems(ChoiceLists::IntervalUnits());
    cmbBaud->addItems(ChoiceLists::BaudRates());
    chkSOD->setEnabled(settings.SodSupported);
    for (int a = 0; a < 2; ++a) {
        cmbAlarm[a]->addItems(ChoiceLists::AlarmHalves());
    }

    for (auto [combo, catalogue] : {std::pair{cmbFlume, &ctx_.Catalogues.FlumeCatalogue},
                                    std::pair{cmbWeir, &ctx_.Catalogues.WeirCatalogue}}) {
        combo->addItem(ChoiceLists::NoneItem);
        for (const RatingEntry& entry : *catalogue) {
            combo->addItem(entry.Name);
        }
    }
    txtTableFile->clear();

    cmbFlowUnits->addItems(ChoiceLists::FlowUnits());
    cmbOffsetUnits->addItems(ChoiceLists::LengthUnits());
    cmbDiameterUnits->addItems(ChoiceLists::LengthUnits());
    cmbVelUnits->addItems(ChoiceLists::VelocityUnits());
    cmbRoughness->addItems(ChoiceLists::Roughness());
    cmbSlopeUnits->addItems(ChoiceLists::SlopeUnits());
}

void SetupWindow::InstallFieldChecks()
{
    guard_->Guard(txtName, QStringLiteral("Name"), CheckLoggerName);
    for (int a = 0; a < 2; ++a) {
        guard_->Guard(txtAlarm[a], QStringLiteral("Alarm %1 Time").arg(a + 1), CheckAlarmTime, true);
    }
    guard_->Guard(cmbWarmup, QStringLiteral("Sensor Warmup Time"), CheckWarmup);
    guard_->Guard(cmbBaud, QStringLiteral("Baud Rate"), CheckBaudRate);
    guard_->Guard(cmbEU[0], QStringLiteral("Units of channel 1"), [](const QString& text) {
        FieldCheck check = CheckFirstChannelUnit(text);
        if (check.Accepted) {
            check.NewText = CheckUnitName(*check.NewText).NewText;
        }
        return check;
    });
    for (int c = 0; c < 8; ++c) {
        const QString channel = QStringLiteral(" of channel %1").arg(c + 1);
        if (c > 0) {
            guard_->Guard(cmbEU[c], QStringLiteral("Units") + channel, CheckUnitName);
        }
        guard_->Guard(txtHighEU[c], QStringLiteral("High EU") + channel, CheckStoredNumber);
        guard_->Guard(txtLowEU[c], QStringLiteral("Low EU") + channel, CheckStoredNumber);
        guard_->Guard(txtTop[c], QStringLiteral("Disp High") + channel, CheckStoredNumber);
        guard_->Guard(txtBottom[c], QStringLiteral("Disp Low") + channel, CheckStoredNumber);
        guard_->Guard(txtHighRaw[c], QStringLiteral("High Raw") + channel, CheckRawCount);
        guard_->Guard(txtLowRaw[c], QStringLiteral("Low Raw") + channel, CheckRawCount);
        guard_->Guard(cmbPrecision[c], QStringLiteral("Decimal Places") + channel, CheckPrecision);
    }
    for (int k = 0; k < 2; ++k) {
        const QString channel = QStringLiteral(" of pulse channel %1").arg(k + 1);
        guard_->Guard(cmbPulseEU[k], QStringLiteral("Sensor Name or Units") + channel, CheckUnitName);
        guard_->Guard(txtPulseUnit[k], QStringLiteral("Value for Single Pulse") + channel, CheckStoredNumber);
        guard_->Guard(cmbPulsePrecision[k], QStringLiteral("Decimal Places") + channel, CheckPrecision);
    }
    for (auto [edit, name] : {std::pair{txtFlowTop, "Flow Display Top Value"}, std::pair{txtOffset, "Level Offset"},
                              std::pair{txtDiameter, "Pipe Diameter"}, std::pair{txtVelTop, "Velocity Display Top"},
                              std::pair{txtSlope, "Slope"}}) {
        guard_->Guard(edit, QLatin1String(name), CheckStoredNumber);
    }
    guard_->Guard(txtSampleInterval, QStringLiteral("Sample interval"), CheckSampleInterval, true);
    guard_->Guard(txtException, QStringLiteral("Exception level"), CheckExceptionLevel, true);
    guard_->Guard(cmbRoughness, QStringLiteral("Roughness Number"), CheckRoughness);
}

bool SetupWindow::CommitLastField()
{
    return guard_->CommitLastField();
}

void SetupWindow::ShowPage(int index)
{
    if (index == shownPage_ || index < 0) {
        return;
    }
    shownPage_ = index;
}

void SetupWindow::EnableFlowFields()
{
    cmbFlume->setEnabled(optFlume->isChecked());
    cmbWeir->setEnabled(optWeir->isChecked());
    txtTableFile->setEnabled(optTable->isChecked());
    cmdBrowse->setEnabled(optTable->isChecked());
    const bool flow = !optNoFlow->isChecked();
    for (QWidget* field : std::initializer_list<QWidget*>{cmbFlowUnits, txtFlowTop, txtOffset, cmbOffsetUnits}) {
        field->setEnabled(flow);
    }
    frmMannings->setEnabled(optMannings->isChecked());
}

void SetupWindow::TickTimer()
{
    for (int a = 0; a < 2; ++a) {
        const bool enabled = chkAlarm[a]->isChecked();
        if (txtAlarm[a]->isEnabled() != enabled) {
            txtAlarm[a]->setEnabled(enabled);
            lblAlarm[a]->setEnabled(enabled);
            cmbAlarm[a]->setEnabled(enabled);
        }
    }
    // Only recent files that are there show, and their separator with them:
    // with none, Exit follows Load after a single separator.
    bool anyRecent = false;
    for (int i = 0; i < 4; ++i) {
        const QString caption = RecentFileCaption(i, ctx_.RecentFiles[i]);
        if (mnuHist[i]->text() != caption) {
            mnuHist[i]->setText(caption);
        }
        mnuHist[i]->setVisible(!ctx_.RecentFiles[i].isEmpty());
        anyRecent = anyRecent || !ctx_.RecentFiles[i].isEmpty();
    }
    mnuSep1->setVisible(anyRecent);
}
