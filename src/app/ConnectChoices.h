#pragma once

#include "link/PortList.h"

#include <QString>
#include <QStringList>

// The connection window's choices, without the window.

// "COM5 - USB Serial" gives "COM5": the trimmed item up to its first blank
// after the first character, upper-cased.
QString ExtractPort(const QString& item);

// The item whose port name equals the stored one exactly (case-sensitive);
// without one, the first discovered (named) port, else the first item.
int PortIndexFor(const QStringList& items, const QString& storedPort);

QStringList DirectBaudRates();
QStringList ModemBaudRates();
