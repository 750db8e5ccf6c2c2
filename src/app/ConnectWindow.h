#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
struct Session;

// frmConnect, "Connect": direct cable or modem, port, baud rate, number and
// modem command file. Connect opens the port, dials for a modem and wakes
// the logger; the outcome is only Session.State.Connected. The window closes
// itself when an attempt ends.
class ConnectWindow : public QDialog {
    Q_OBJECT
public:
    ConnectWindow(Session& session, QWidget* parent = nullptr);

    // Cancel pressed during an attempt; asked between wake-up attempts.
    bool CancelRequested() const { return cancelRequested_; }

    void reject() override; // Cancel, Escape and the close box

protected:
    void done(int result) override;

private:
    void Fill();
    void FillPortLists(const QString& directPort, const QString& modemPort);
    void RefreshPortLists();
    void ShowProgress(const QString& text);
    void ConnectClicked();
    void CancelClicked();
    void BrowseClicked();
    bool Attempt();

    Session& session_;
    bool connectBusy_ = true;
    bool cancelRequested_ = false;

    QRadioButton* optDirect_;
    QRadioButton* optModem_;
    QComboBox* cmbPort1_;
    QComboBox* cmbBaud1_;
    QComboBox* cmbPort2_;
    QComboBox* cmbBaud2_;
    QComboBox* cmbNumber_;
    QCheckBox* chkInitFile_;
    QLineEdit* txtConfiguration_;
    QPushButton* cmdBrowse_;
    QPushButton* cmdConnect_;
    QPushButton* cmdCancel_;
    QLabel* lblProgress_;
};
