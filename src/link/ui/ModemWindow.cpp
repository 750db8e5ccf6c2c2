#include "link/ui/ModemWindow.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

ModemWindow::ModemWindow(ModemDialogue& dialogue, QWidget* parent)
    : QDialog(parent)
    , dialogue_(dialogue)
    , txtModem_(new QPlainTextEdit(this))
    , cmdCancel_(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(QStringLiteral("frmModem"));
    setWindowTitle(QStringLiteral("Modem Connection"));
    setModal(true);
    txtModem_->setObjectName(QStringLiteral("txtModem"));
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    txtModem_->setReadOnly(true);
    txtModem_->setMinimumSize(360, 180);
    cmdCancel_->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtModem_);
    layout->addLayout(buttons);

    connect(cmdCancel_, &QPushButton::clicked, &dialogue_, &ModemDialogue::Cancel);
    connect(&dialogue_, &ModemDialogue::TextAppended, this, &ModemWindow::AppendText);
    connect(&dialogue_, &ModemDialogue::TextColourChanged, this, &ModemWindow::ShowColour);
    connect(&dialogue_, &ModemDialogue::Hidden, this, [this] { done(QDialog::Accepted); });
}

// Closing the window any other way than Cancel ends the dialogue without a
// result.
void ModemWindow::reject()
{
    dialogue_.Abandon();
    QDialog::reject();
}

void ModemWindow::ShowColour(ModemDialogue::TextColour colour)
{
    QPalette palette = txtModem_->palette();
    palette.setColor(QPalette::Text,
                     colour == ModemDialogue::TextColour::Green ? QColor(0, 140, 0) : QColor(255, 0, 0));
    txtModem_->setPalette(palette);
}

// The modem ends its lines with CR LF and echoes a command with a bare CR;
// a line feed alone breaks the line here.
void ModemWindow::AppendText(const QString& text)
{
    QTextCursor cursor = txtModem_->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QString(text).remove(QLatin1Char('\r')));
    txtModem_->setTextCursor(cursor);
    txtModem_->ensureCursorVisible();
}

void ModemWindowDisplay::ShowModal(ModemDialogue& dialogue)
{
    ModemWindow window(dialogue, parent_);
    dialogue.Open();
    if (!dialogue.IsHidden()) {
        window.exec();
    }
}
