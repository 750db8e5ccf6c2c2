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
      progressBar1_(new QProgressBar),
      lblGetHistoryData_(new QLabel),
      lblRetries_(new QLabel),
      cmdOkay_(new QPushButton(QStringLiteral("Okay"))),
      cmdCancel_(new QPushButton(QStringLiteral("Stop")))
{
    setObjectName(QStringLiteral("frmGetHistoryData"));
    setWindowTitle(Title);
    progressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    lblGetHistoryData_->setObjectName(QStringLiteral("lblGetHistoryData"));
    lblRetries_->setObjectName(QStringLiteral("lblRetries"));
    cmdOkay_->setObjectName(QStringLiteral("cmdOkay"));
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    cmdOkay_->setEnabled(false);
    cmdCancel_->setEnabled(true);
    cmdCancel_->setAutoDefault(false);
    cmdOkay_->setAutoDefault(false);

    auto* labels = new QHBoxLayout;
    labels->addWidget(lblGetHistoryData_, 1);
    labels->addWidget(lblRetries_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOkay_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(progressBar1_);
    layout->addLayout(labels);
    layout->addLayout(buttons);
    setMinimumWidth(380);

    connect(cmdOkay_, &QPushButton::clicked, this, &GetHistoryDataWindow::cmdOkay_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &GetHistoryDataWindow::cmdCancel_Click);
}

void GetHistoryDataWindow::cmdCancel_Click()
{
    state_ = State::Cancel;
}

void GetHistoryDataWindow::cmdOkay_Click()
{
    state_ = State::Okay;
    accept();
}

void GetHistoryDataWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Reactivating the window does not restart the download.
    if (state_ == State::Starting) {
        QTimer::singleShot(0, this, &GetHistoryDataWindow::Download);
    }
}

// Escape and the close box (which comes here) are the user's Stop while
// blocks still come, and Okay once the upload is complete: the records
// fetched are kept either way. A stopped download closes the window itself.
void GetHistoryDataWindow::reject()
{
    if (state_ == State::Running && cmdCancel_->isEnabled()) {
        cmdCancel_Click();
    } else if (state_ == State::Running) {
        cmdOkay_Click();
    } else if (state_ != State::Starting) {
        QDialog::reject();
    }
}

void GetHistoryDataWindow::showCount(int count)
{
    if (progressBar1_->maximum() < count) {
        progressBar1_->setMaximum(count);
    }
    progressBar1_->setValue(count);
    lblGetHistoryData_->setText(QString::number(count) + QStringLiteral(" records"));
}

QString GetHistoryDataWindow::receivedText(int count) const
{
    return QStringLiteral("Received ") + QString::number(count) + QStringLiteral(" records of ")
           + QString::number(expectedTotal_) + QStringLiteral(" records.");
}

void GetHistoryDataWindow::Download()
{
    if (state_ != State::Starting) {
        return;
    }
    state_ = State::Running;
    progressBar1_->setRange(0, int(std::min<uint32_t>(expectedTotal_, std::numeric_limits<int>::max())));
    progressBar1_->setValue(0);
    lblRetries_->clear();
    lblGetHistoryData_->setText(QStringLiteral("0 records"));

    download_.onProgress = [this](int count) { showCount(count); };
    download_.onRetry = [this](int totalRetries) {
        lblRetries_->setText(QString::number(totalRetries) + QStringLiteral(" retries"));
    };
    download_.stopRequested = [this] { return state_ != State::Running; };
    const HistoryDownloadEnd end = RunTrapped(
        errorTrapping_, [this] { return download_.run(); }, [] { return HistoryDownloadEnd::Error; });
    const int count = download_.recordCount();

    switch (end) {
    case HistoryDownloadEnd::Complete:
        cmdOkay_->setEnabled(true);
        cmdOkay_->setFocus();
        cmdCancel_->setEnabled(false);
        lblGetHistoryData_->setText(QStringLiteral("Upload complete: ") + QString::number(count)
                                    + QStringLiteral(" records uploaded."));
        if (const QString warning = HistoryCountMismatchWarning(count, expectedTotal_); !warning.isEmpty()) {
            prompter_.tell(Title, warning, PromptIcon::Warning);
        }
        // The window stays until the user presses "Okay".
        if (state_ != State::Running) {
            accept();
        }
        return;
    case HistoryDownloadEnd::Stopped:
        prompter_.tell(Title, QStringLiteral("Retrieval cancelled by user. ") + receivedText(count),
                       PromptIcon::Information);
        break;
    case HistoryDownloadEnd::BufferFull:
        lblGetHistoryData_->setText(QString::number(count) + QStringLiteral(" records"));
        prompter_.tell(Title, QStringLiteral("History buffer full: upload terminated."), PromptIcon::Information);
        state_ = State::Cancel;
        break;
    case HistoryDownloadEnd::Error:
        prompter_.tell(Title, QStringLiteral("Error during retrieval. ") + receivedText(count), PromptIcon::Error);
        break;
    }
    done(QDialog::Rejected);
}
