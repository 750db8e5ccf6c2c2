#include "link/ui/CommunicationsLogWindow.h"

#include "core/WholeFileSave.h"
#include "link/CommunicationsLog.h"
#include "platform/FileDialogs.h"
#include "platform/Prompter.h"

#include <QDateTime>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QIODevice>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString Title = QStringLiteral("Communications Log");

QPushButton* Button(const QString& name, const QString& text)
{
    auto* button = new QPushButton(text);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

CommunicationsLogWindow::CommunicationsLogWindow(CommunicationsLog& log, FileDialogs& fileDialogs, Prompter& prompter,
                                                 QWidget* parent)
    : QDialog(parent), log_(log), fileDialogs_(fileDialogs), prompter_(prompter), txtLog_(new QPlainTextEdit)
{
    setObjectName(QStringLiteral("frmCommLog"));
    setWindowTitle(Title);
    txtLog_->setObjectName(QStringLiteral("txtLog"));
    txtLog_->setReadOnly(true);
    txtLog_->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtLog_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    txtLog_->setMaximumBlockCount(CommunicationsLog::MaxLines);
    for (const QString& line : log_.Lines()) {
        txtLog_->appendPlainText(line);
    }
    log_.OnLine = [this](const QString& line) { txtLog_->appendPlainText(line); };

    QPushButton* save = Button(QStringLiteral("cmdSave"), QStringLiteral("&Save..."));
    QPushButton* clear = Button(QStringLiteral("cmdClear"), QStringLiteral("C&lear"));
    QPushButton* close = Button(QStringLiteral("cmdClose"), QStringLiteral("&Close"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(save);
    buttons->addWidget(clear);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtLog_, 1);
    layout->addLayout(buttons);
    connect(save, &QPushButton::clicked, this, &CommunicationsLogWindow::Save);
    connect(clear, &QPushButton::clicked, this, [this] {
        log_.Clear();
        txtLog_->clear();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    resize(720, 480);
}

CommunicationsLogWindow::~CommunicationsLogWindow()
{
    log_.OnLine = nullptr;
}

void CommunicationsLogWindow::Save()
{
    FileDialogRequest request;
    request.Title = QStringLiteral("Save Communications Log");
    request.Filter = QStringLiteral("Text Files (*.txt)|*.txt");
    request.DefaultExtension = QStringLiteral(".txt");
    request.InitialFileName = QDateTime::currentDateTime().toString(QStringLiteral("'brevel-log-'yyyy-MM-dd-HHmm'.txt'"));
    request.ConfirmOverwrite = true;
    const std::optional<QString> path = fileDialogs_.SaveFile(request);
    if (!path) {
        return;
    }
    const QByteArray bytes = log_.Text().toUtf8();
    if (!SaveWholeFile(*path, [&bytes](QIODevice& file) { return file.write(bytes) == bytes.size(); })) {
        prompter_.Tell(Title, QStringLiteral("Error: the log could not be written to ") + *path, PromptIcon::Error);
    }
}
