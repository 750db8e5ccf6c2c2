#include "app/ConnectWindow.h"

#include "app/ConnectChoices.h"
#include "app/Session.h"
#include "core/AppFolder.h"
#include "link/ModemDial.h"
#include "link/ui/ModemWindow.h"
#include "link/OpenPortMessage.h"
#include "link/PortDiscovery.h"
#include "platform/BusyCursor.h"
#include "platform/FileDialogs.h"
#include "platform/Prompter.h"
#include "platform/SerialPort.h"
#include "platform/ui/TypedComboBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <functional>
#include <utility>

namespace {

QComboBox* MakeList(QWidget* parent, const QString& name)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    return box;
}

// A port list that looks for ports again each time it opens, so that an
// adapter plugged in while the window is open can be chosen.
class PortList : public QComboBox {
public:
    PortList(QWidget* parent, const QString& name, std::function<void()> refresh)
        : QComboBox(parent), refresh_(std::move(refresh))
    {
        setObjectName(name);
    }
    void showPopup() override
    {
        refresh_();
        QComboBox::showPopup();
    }

private:
    std::function<void()> refresh_;
};

QLabel* MakeCaption(QWidget* parent, const QString& name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

ConnectWindow::ConnectWindow(Session& session, QWidget* parent) : QDialog(parent), session_(session)
{
    setObjectName(QStringLiteral("frmConnect"));
    setWindowTitle(QStringLiteral("Connect"));
    setModal(true);

    optDirect_ = new QRadioButton(QStringLiteral("Direct "), this);
    optDirect_->setObjectName(QStringLiteral("optDirect"));
    optModem_ = new QRadioButton(QStringLiteral("Modem"), this);
    optModem_->setObjectName(QStringLiteral("optModem"));

    auto* frame1 = new QGroupBox(this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    auto* direct = new QGridLayout(frame1);
    cmbPort1_ = new PortList(frame1, QStringLiteral("cmbPort1"), [this] { RefreshPortLists(); });
    cmbBaud1_ = MakeList(frame1, QStringLiteral("cmbBaud1"));
    direct->addWidget(MakeCaption(frame1, QStringLiteral("Label1"), QStringLiteral("Port")), 0, 0);
    direct->addWidget(cmbPort1_, 0, 1);
    direct->addWidget(MakeCaption(frame1, QStringLiteral("Label2"), QStringLiteral("Baud Rate")), 1, 0);
    direct->addWidget(cmbBaud1_, 1, 1);

    auto* frame2 = new QGroupBox(this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    auto* modem = new QGridLayout(frame2);
    cmbPort2_ = new PortList(frame2, QStringLiteral("cmbPort2"), [this] { RefreshPortLists(); });
    cmbBaud2_ = MakeList(frame2, QStringLiteral("cmbBaud2"));
    cmbNumber_ = MakeList(frame2, QStringLiteral("cmbNumber"));
    MakeTypeable(cmbNumber_);
    modem->addWidget(MakeCaption(frame2, QStringLiteral("Label4"), QStringLiteral("Port")), 0, 0);
    modem->addWidget(cmbPort2_, 0, 1);
    modem->addWidget(MakeCaption(frame2, QStringLiteral("Label3"), QStringLiteral("Baud Rate")), 1, 0);
    modem->addWidget(cmbBaud2_, 1, 1);
    modem->addWidget(MakeCaption(frame2, QStringLiteral("Label5"), QStringLiteral("Phone Number")), 2, 0);
    modem->addWidget(cmbNumber_, 2, 1);

    auto* frame3 = new QGroupBox(this);
    frame3->setObjectName(QStringLiteral("Frame3"));
    auto* initFile = new QGridLayout(frame3);
    chkInitFile_ = new QCheckBox(QStringLiteral("Use optional Modem Initialization Command File:"), frame3);
    chkInitFile_->setObjectName(QStringLiteral("chkInitFile"));
    txtConfiguration_ = new QLineEdit(frame3);
    txtConfiguration_->setObjectName(QStringLiteral("txtConfiguration"));
    cmdBrowse_ = new QPushButton(QStringLiteral("..."), frame3);
    cmdBrowse_->setObjectName(QStringLiteral("cmdBrowse"));
    cmdBrowse_->setAutoDefault(false);
    initFile->addWidget(chkInitFile_, 0, 0, 1, 2);
    initFile->addWidget(txtConfiguration_, 1, 0);
    initFile->addWidget(cmdBrowse_, 1, 1);

    cmdConnect_ = new QPushButton(QStringLiteral("Connect"), this);
    cmdConnect_->setObjectName(QStringLiteral("cmdConnect"));
    cmdConnect_->setDefault(true);
    cmdCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel_->setAutoDefault(false);
    lblProgress_ = MakeCaption(this, QStringLiteral("lblProgress"), QString());

    auto* layout = new QGridLayout(this);
    layout->addWidget(optDirect_, 0, 0);
    layout->addWidget(frame1, 1, 0);
    layout->addWidget(optModem_, 0, 1);
    layout->addWidget(frame2, 1, 1);
    layout->addWidget(frame3, 2, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblProgress_, 1);
    buttons->addWidget(cmdConnect_);
    buttons->addWidget(cmdCancel_);
    layout->addLayout(buttons, 3, 0, 1, 2);

    connect(cmdConnect_, &QPushButton::clicked, this, &ConnectWindow::ConnectClicked);
    connect(cmdCancel_, &QPushButton::clicked, this, &ConnectWindow::CancelClicked);
    connect(cmdBrowse_, &QPushButton::clicked, this, &ConnectWindow::BrowseClicked);
    connect(chkInitFile_, &QCheckBox::clicked, this,
            [this](bool ticked) { session_.User.UseModemInit = ticked ? 1 : 0; });
    Fill();
}

void ConnectWindow::Fill()
{
    connectBusy_ = true;
    cancelRequested_ = false;
    const UserSettings& user = session_.User;

    for (const QString& number : user.ModemNumber) {
        cmbNumber_->addItem(number);
    }
    cmbNumber_->setEditText(user.CurrentModemNumber);
    txtConfiguration_->setText(user.ModemInit);
    chkInitFile_->setChecked(user.UseModemInit != 0);

    FillPortLists(user.DirectPort, user.ModemPort);
    cmbBaud1_->addItems(DirectBaudRates());
    cmbBaud2_->addItems(ModemBaudRates());
    const int directBaud = cmbBaud1_->findText(user.DirectBaud);
    cmbBaud1_->setCurrentIndex(directBaud >= 0 ? directBaud : 3);
    const int modemBaud = cmbBaud2_->findText(user.ModemBaud);
    cmbBaud2_->setCurrentIndex(modemBaud >= 0 ? modemBaud : 0);

    (session_.UseModem ? optModem_ : optDirect_)->setChecked(true);
    connectBusy_ = false;
}

// Each list keeps the port it shows when that port is still there.
void ConnectWindow::FillPortLists(const QString& directPort, const QString& modemPort)
{
    const QStringList ports = BuildPortList(DiscoverPorts(session_.Ports));
    for (const auto& [list, port] : {std::pair{cmbPort1_, directPort}, std::pair{cmbPort2_, modemPort}}) {
        list->clear();
        list->addItems(ports);
        list->setCurrentIndex(PortIndexFor(ports, port));
    }
}

void ConnectWindow::RefreshPortLists()
{
    FillPortLists(ExtractPort(cmbPort1_->currentText()), ExtractPort(cmbPort2_->currentText()));
}

// What the attempt is doing, while it does it.
void ConnectWindow::ShowProgress(const QString& text)
{
    lblProgress_->setText(text);
    lblProgress_->repaint();
}

void ConnectWindow::ConnectClicked()
{
    if (connectBusy_) {
        return;
    }
    connectBusy_ = true;
    if (!Attempt()) {
        session_.Link.ClosePort();
    }
    connectBusy_ = false;
    accept();
}

// Steps 2 to 6 of a connection attempt; true when the logger answered. Every
// way out but success leaves the port for the caller to close.
bool ConnectWindow::Attempt()
{
    UserSettings& user = session_.User;
    Prompter& prompter = session_.Services.Messages;
    const bool modem = optModem_->isChecked();
    QString port;
    QString baud;
    if (modem) {
        user.ModemBaud = baud = cmbBaud2_->currentText();
        user.ModemPort = port = ExtractPort(cmbPort2_->currentText());
    } else {
        user.DirectBaud = baud = cmbBaud1_->currentText();
        user.DirectPort = port = ExtractPort(cmbPort1_->currentText());
    }
    ShowProgress(QStringLiteral("Opening %1\u2026").arg(port));
    if (!session_.Link.OpenPort(PortNumber(port), baud + QStringLiteral(",N,8,1"))) {
        prompter.Tell(QStringLiteral("Connect Error"), OpenPortFailureText(session_.Services.Port.LastOpenError()),
                      PromptIcon::Warning);
        return false;
    }
    if (modem) {
        session_.Connection.ReplyTicks = session_.Options.ModemReplyTicks;
        ShowProgress(QStringLiteral("Dialing %1\u2026").arg(cmbNumber_->currentText()));
        ModemWindowDisplay display(this);
        const ModemDialSetup setup{user.ModemNumber, user.UseModemInit != 0, txtConfiguration_->text()};
        const ModemDialOutcome dial = DialModem(cmbNumber_->currentText(), setup, session_.Link, display);
        if (!dial.Connected()) {
            // A dial the program ended by closing has nothing to tell.
            if (!cancelRequested_) {
                TellDialFailure(prompter, dial);
            }
            return false;
        }
    } else {
        session_.Connection.ReplyTicks = 10;
        session_.Services.Port.SetFlowControl(SerialPort::FlowControl::None);
    }
    if (cancelRequested_) {
        return false;
    }
    bool awake = false;
    {
        BusyScope hourglass(session_.Services.Hourglass);
        awake = session_.Commands.WakeLogger([this] { return cancelRequested_; }, [this](int attempt) {
            if (!cancelRequested_) {
                ShowProgress(QStringLiteral("Waking the logger (attempt %1 of %2)\u2026")
                                 .arg(attempt)
                                 .arg(LoggerCommands::WakeAttempts));
            }
        });
    }
    if (awake) {
        session_.Connection.Connected = true;
        return true;
    }
    prompter.Tell(QStringLiteral("Connect Error"), QStringLiteral("Error: unable to establish communication with logger."),
                  PromptIcon::Warning);
    return false;
}

void ConnectWindow::CancelClicked()
{
    if (connectBusy_) {
        cancelRequested_ = true;
        ShowProgress(QStringLiteral("Cancelling\u2026"));
    } else {
        QDialog::reject();
    }
}

void ConnectWindow::reject()
{
    CancelClicked();
}

void ConnectWindow::done(int result)
{
    session_.User.CurrentModemNumber = cmbNumber_->currentText();
    session_.UseModem = optModem_->isChecked();
    session_.User.ModemInit = txtConfiguration_->text();
    QDialog::done(result);
}

void ConnectWindow::BrowseClicked()
{
    FileDialogRequest request;
    request.Title = QStringLiteral("Select Modem Command File");
    request.DefaultExtension = QStringLiteral(".txt");
    request.Filter = QStringLiteral("Modem Command File (*.txt)|*.txt");
    request.InitialFileName = AppFolder() + QStringLiteral("/*.txt");
    request.MustExist = true;
    if (const auto chosen = session_.Services.Dialogs.OpenFile(request)) {
        session_.User.ModemInit = *chosen;
        txtConfiguration_->setText(*chosen);
    }
}
