#pragma once

#include <QDialog>

class QLabel;

// frmAbout: the program's picture with the main window's caption as the
// version line and a notice under it. OK and Escape close it.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    AboutWindow(const QString& mainCaption, QWidget* parent);

    QLabel* VersionLabel() const { return lblVersion_; }

private:
    QLabel* lblVersion_ = nullptr;
};
