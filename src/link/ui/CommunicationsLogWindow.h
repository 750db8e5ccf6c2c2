#pragma once

#include <QDialog>

class CommunicationsLog;
class FileDialogs;
class Prompter;
class QPlainTextEdit;

// frmCommLog, "Communications Log": every frame sent to and received from
// the logger since the program started (the newest 20 000 lines), growing
// while it is open, to read or save and send to support.
class CommunicationsLogWindow : public QDialog {
    Q_OBJECT
public:
    CommunicationsLogWindow(CommunicationsLog& log, FileDialogs& fileDialogs, Prompter& prompter,
                            QWidget* parent = nullptr);
    ~CommunicationsLogWindow() override;

private:
    void Save();

    CommunicationsLog& log_;
    FileDialogs& fileDialogs_;
    Prompter& prompter_;
    QPlainTextEdit* txtLog_;
};
