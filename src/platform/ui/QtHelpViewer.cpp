#include "platform/ui/QtHelpViewer.h"

#include <QDesktopServices>
#include <QUrl>

bool QtHelpViewer::Open(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
