#include "app/AboutWindow.h"

#include "app/ProgramPictures.h"

#include <QLabel>
#include <QPushButton>

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

    // A strip under the picture holds the button that closes the box.
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    ok->adjustSize();
    constexpr int margin = 8;
    ok->move(inner.width() - ok->width() - margin, inner.height() + margin);
    setFixedSize(inner.width(), inner.height() + ok->height() + 2 * margin);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    lblVersion_ = new QLabel(mainCaption, this);
    lblVersion_->setObjectName(QStringLiteral("lblVersion"));
    lblVersion_->setGeometry(24, inner.height() * 65 / 100, inner.width() - 48, 22);

    auto* notice = new QLabel(QStringLiteral("Companion program of the Brevel water level and flow logger."), this);
    notice->setObjectName(QStringLiteral("lblNotice"));
    notice->setGeometry(24, inner.height() * 80 / 100, inner.width() - 48, 22);
}
