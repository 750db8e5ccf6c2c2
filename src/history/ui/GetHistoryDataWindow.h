#pragma once

#include "history/HistoryDownload.h"

#include <QDialog>
#include <QString>
#include <cstdint>

class Prompter;
class QLabel;
class QProgressBar;
class QPushButton;

// frmGetHistoryData, "Get History Data": runs the download once it is
// shown, with its progress, retries and "Stop", then the closing message;
// a completed download whose count differs from the logger's record count
// is reported. Its state ends as Okay or Cancel, and stays Running after an
// error.
class GetHistoryDataWindow : public QDialog {
    Q_OBJECT
public:
    enum class State {
        Starting, // shown, the download not begun
        Running,
        Cancel, // stopped by the user, or the history memory of the program full
        Okay,   // complete and acknowledged
    };

    GetHistoryDataWindow(HistoryDownload& download, uint32_t expectedTotal, Prompter& prompter,
                         bool errorTrapping, QWidget* parent = nullptr);

    State CurrentState() const { return state_; }

public slots:
    void StopDownload();
    void Acknowledge();
    void reject() override; // Escape and the close box

protected:
    void showEvent(QShowEvent* event) override;

private:
    void RunDownload();
    void ShowCount(int count);
    QString ReceivedText(int count) const;

    HistoryDownload& download_;
    uint32_t expectedTotal_;
    Prompter& prompter_;
    bool errorTrapping_;
    State state_ = State::Starting;
    QProgressBar* progress_;
    QLabel* progressText_;
    QLabel* retries_;
    QPushButton* okayButton_;
    QPushButton* stopButton_;
};
