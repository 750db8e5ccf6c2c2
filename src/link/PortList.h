#pragma once

#include <QString>
#include <QStringList>

// COM1 to COM16 as the connection window lists them: a discovered entry
// ("COM9 - FT232R USB UART (/dev/ttyUSB0)") where there is one, else the
// plain name for COM1 to COM8 only.
QStringList BuildPortList(const QStringList& discovered);

// The number after "COM": "COM12" gives 12; 0 when there is none.
int PortNumber(const QString& portName);
