#pragma once

#include "platform/SerialPort.h"

#include <QString>

// What the user is told when the port will not open. A device the user may
// not open is named, with the way to be allowed (serial devices belong to
// the "dialout" group, and a new group counts from the next login);
// anything else may be a missing port or one in use.
QString OpenPortFailureText(const SerialPort::OpenError& error);
