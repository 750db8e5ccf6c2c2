#include "history/ui/ProgressWindow.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

ProgressSteps::ProgressSteps(QProgressBar& bar, int minimum, int maximum)
    : bar_(bar), step_(std::max(1, (maximum - minimum) / 200)), next_(minimum)
{
    bar_.setRange(minimum, maximum);
    bar_.setValue(minimum);
}

void ProgressSteps::SetValue(int value)
{
    if (value >= next_ || value >= bar_.maximum()) {
        bar_.setValue(value);
        next_ = value + step_;
    }
}

ProgressWindow::ProgressWindow(const QString& caption, const QString& status, int minimum, int maximum,
                               QWidget* parent)
    : QDialog(parent), status_(new QLabel(status)), bar_(new QProgressBar), steps_(*bar_, minimum, maximum)
{
    setObjectName(QStringLiteral("frmProgress"));
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(status_);
    layout->addWidget(bar_);
    setModal(false);
    show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
