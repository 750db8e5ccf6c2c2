#include "app/AboutWindow.h"

#include "app/ProgramPictures.h"

#include <QLabel>

AboutWindow::AboutWindow(const QString& mainCaption, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Brevel Flow Monitor"));
    setWindowIcon(ProgramIcon());
    setModal(true);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setPixmap(ProgramBanner(QString()));
    picture->adjustSize();
    const QSize inner = picture->size();
    setFixedSize(inner);

    lblVersion_ = new QLabel(mainCaption, this);
    lblVersion_->setObjectName(QStringLiteral("lblVersion"));
    lblVersion_->setGeometry(24, inner.height() * 65 / 100, inner.width() - 48, 22);

    auto* notice = new QLabel(QStringLiteral("Companion program of the Brevel water level and flow logger."), this);
    notice->setObjectName(QStringLiteral("lblNotice"));
    notice->setGeometry(24, inner.height() * 80 / 100, inner.width() - 48, 22);
}
