#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

// Sets a progress bar along a long loop, but touches the widget only when
// the bar would move, so a loop of 200 000 steps costs a few hundred paints.
class ProgressSteps {
public:
    ProgressSteps(QProgressBar& bar, int minimum, int maximum);
    void SetValue(int value);

private:
    QProgressBar& bar_;
    int step_;
    int next_;
};

// frmProgress: a caption, a status text and a bar, shown without blocking
// while the program works.
class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    ProgressWindow(const QString& caption, const QString& status, int minimum, int maximum,
                   QWidget* parent = nullptr);
    void SetValue(int value) { steps_.SetValue(value); }

private:
    QLabel* status_;
    QProgressBar* bar_;
    ProgressSteps steps_;
};
