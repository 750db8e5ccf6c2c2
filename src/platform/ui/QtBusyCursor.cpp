#include "platform/ui/QtBusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

void QtBusyCursor::setBusy(bool busy)
{
    if (busy) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
}
