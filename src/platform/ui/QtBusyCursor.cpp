#include "platform/ui/QtBusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

void QtBusyCursor::SetBusy(bool busy)
{
    if (busy) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
}
