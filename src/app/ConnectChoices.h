#pragma once

#include <QString>
#include <QStringList>

// The connection window's choices, without the window.

// COM1 to COM16: a discovered entry ("COM9 - FT232R USB UART (/dev/ttyUSB0)")
// where there is one, else the plain name for COM1 to COM8 only.
QStringList BuildPortList(const QStringList& discovered);

// "COM5 - USB Serial" gives "COM5": the trimmed item up to its first blank
// after the first character, upper-cased.
QString ExtractPort(const QString& item);

// The item whose port name equals the stored one exactly (case-sensitive);
// without one, the first discovered (named) port, else the first item.
int PortIndexFor(const QStringList& items, const QString& storedPort);

// The number after "COM": "COM12" gives 12; 0 when there is none.
int PortNumber(const QString& portName);

QStringList DirectBaudRates();
QStringList ModemBaudRates();
