#include "history/ui/GetHistoryDataWindow.h"

#include "core/ErrorTrap.h"
#include "platform/Prompter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <limits>

namespace {

const QString Title = QStringLiteral("Get History Data");

} // namespace

GetHistoryDataWindow::GetHistoryDataWindow(HistoryDownload& download, uint32_t expectedTotal, Prompter& prompter,
                                           bool errorTrapping, QWidget* parent)
    : QDialog(parent),
      download_(download),
      expectedTotal_(expectedTotal),
      prompter_(prompter),
      errorTrapping_(errorTrapping),
      progress_(new QProgressBar),
      progressText_(new QLabel),
      retries_(new QLabel),
      okayButton_(new QPushButton(QStringLiteral("Okay"))),
      stopButton_(new QPushButton(QStringLiteral("Stop")))
{
    setObjectName(QStringLiteral("frmGetHistoryData"));
    setWindowTitle(Title);
    progress_->setObjectName(QStringLiteral("ProgressBar1"));
    progressText_->setObjectName(QStringLiteral("lblGetHistoryData"));
    retries_->setObjectName(QStringLiteral("lblRetries"));
    okayButton_->setObjectName(QStringLiteral("cmdOkay"));
    stopButton_->setObjectName(QStringLiteral("cmdCancel"));
    okayButton_->setEnabled(false);
    stopButton_->setEnabled(true);
    stopButton_->setAutoDefault(false);
    okayButton_->setAutoDefault(false);

    auto* labels = new QHBoxLayout;
    labels->addWidget(progressText_, 1);
    labels->addWidget(retries_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okayButton_);
    buttons->addWidget(stopButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(progress_);
    layout->addLayout(labels);
    layout->addLayout(buttons);
    setMinimumWidth(380);

    connect(okayButton_, &QPushButton::clicked, this, &GetHistoryDataWindow::Acknowledge);
    connect(stopButton_, &QPushButton::clicked, this, &GetHistoryDataWindow::StopDownload);
}

void GetHistoryDataWindow::StopDownload()
{
    state_ = State::Cancel;
}

void GetHistoryDataWindow::Acknowledge()
{
    state_ = State::Okay;
    accept();
}

void GetHistoryDataWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Reactivating the window does not restart the download.
    if (state_ == State::Starting) {
        QTimer::singleShot(0, this, &GetHistoryDataWindow::RunDownload);
    }
}

// Escape and the close box (which comes here) are the user's Stop while
// blocks still come, and Okay once the upload is complete: the records
// fetched are kept either way. A stopped download closes the window itself.
void GetHistoryDataWindow::reject()
{
    if (state_ == State::Running && stopButton_->isEnabled()) {
        StopDownload();
    } else if (state_ == State::Running) {
        Acknowledge();
    } else if (state_ != State::Starting) {
        QDialog::reject();
    }
}

void GetHistoryDataWindow::ShowCount(int count)
{
    if (progress_->maximum() < count) {
        progress_->setMaximum(count);
    }
    progress_->setValue(count);
    progressText_->setText(QString::number(count) + QStringLiteral(" records"));
}

QString GetHistoryDataWindow::ReceivedText(int count) const
{
    return QStringLiteral("Received ") + QString::number(count) + QStringLiteral(" records of ")
           + QString::number(expectedTotal_) + QStringLiteral(" records.");
}

void GetHistoryDataWindow::RunDownload()
{
    if (state_ != State::Starting) {
        return;
    }
    state_ = State::Running;
    progress_->setRange(0, int(std::min<uint32_t>(expectedTotal_, std::numeric_limits<int>::max())));
    progress_->setValue(0);
    retries_->clear();
    progressText_->setText(QStringLiteral("0 records"));

    download_.OnProgress = [this](int count) { ShowCount(count); };
    download_.OnRetry = [this](int totalRetries) {
        retries_->setText(QString::number(totalRetries) + QStringLiteral(" retries"));
    };
    download_.StopRequested = [this] { return state_ != State::Running; };
    const HistoryDownloadEnd end = RunTrapped(
        errorTrapping_, [this] { return download_.Run(); }, [] { return HistoryDownloadEnd::Error; });
    const int count = download_.RecordCount();

    switch (end) {
    case HistoryDownloadEnd::Complete:
        okayButton_->setEnabled(true);
        okayButton_->setFocus();
        stopButton_->setEnabled(false);
        progressText_->setText(QStringLiteral("Upload complete: ") + QString::number(count)
                                    + QStringLiteral(" records uploaded."));
        if (const QString warning = HistoryCountMismatchWarning(count, expectedTotal_); !warning.isEmpty()) {
            prompter_.Tell(Title, warning, PromptIcon::Warning);
        }
        // The window stays until the user presses "Okay".
        if (state_ != State::Running) {
            accept();
        }
        return;
    case HistoryDownloadEnd::Stopped:
        prompter_.Tell(Title, QStringLiteral("Retrieval cancelled by user. ") + ReceivedText(count),
                       PromptIcon::Information);
        break;
    case HistoryDownloadEnd::BufferFull:
        progressText_->setText(QString::number(count) + QStringLiteral(" records"));
        prompter_.Tell(Title, QStringLiteral("History buffer full: upload terminated."), PromptIcon::Information);
        state_ = State::Cancel;
        break;
    case HistoryDownloadEnd::Error:
        prompter_.Tell(Title, QStringLiteral("Error during retrieval. ") + ReceivedText(count), PromptIcon::Error);
        break;
    }
    done(QDialog::Rejected);
}
