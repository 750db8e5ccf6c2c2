#pragma once

#include "link/ModemDial.h"
#include "link/ModemDialogue.h"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;
class QWidget;

// frmModem, "Modem Connection": the modem dialogue in a text box, red while
// the modem is being set up and green once it has connected, with Cancel.
// It closes itself when the dialogue ends.
class ModemWindow : public QDialog {
    Q_OBJECT
public:
    explicit ModemWindow(ModemDialogue& dialogue, QWidget* parent = nullptr);

    void reject() override;

private:
    void ShowColour(ModemDialogue::TextColour colour);
    void AppendText(const QString& text);

    ModemDialogue& dialogue_;
    QPlainTextEdit* txtModem_;
    QPushButton* cmdCancel_;
};

// Shows each dialogue in a modal ModemWindow over parent.
class ModemWindowDisplay : public ModemDisplay {
public:
    explicit ModemWindowDisplay(QWidget* parent) : parent_(parent) {}
    void ShowModal(ModemDialogue& dialogue) override;

private:
    QWidget* parent_;
};
