#include "link/OpenPortMessage.h"

#include <QDir>

QString OpenPortFailureText(const SerialPort::OpenError& error)
{
    if (error.Reason == SerialPort::OpenFailure::NoPermission) {
        return QStringLiteral("Error: no permission to open %1.\r\n"
                              "Add your user to the dialout group (sudo usermod -aG dialout $USER), "
                              "then log out and in again.")
            .arg(QDir::toNativeSeparators(error.Device));
    }
    return QStringLiteral("Error opening port.  If this port exists, it \r\nmay be in use by another application.");
}
