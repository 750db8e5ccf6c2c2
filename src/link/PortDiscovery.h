#pragma once

#include <QStringList>

class PortDirectory;

// The connection window's port list, made each time it opens: an empty
// entry first, then one entry per serial device found, the port name, " - "
// and the device name. On Windows the system's registry of FTDI adapters,
// modems and USB serial devices; elsewhere the port directory, rescanned.
QStringList DiscoverPorts(PortDirectory& directory);
