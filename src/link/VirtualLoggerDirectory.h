#pragma once

#include <QList>
#include <QString>

// A running virtual logger (brevel-logger-sim) announces itself with a
// symbolic link named after it in one directory, pointing at the slave side
// of its pseudo-terminal (/dev/pts/N). The simulator creates and removes the
// link; port discovery lists the links whose target still exists.

// The directory of those links: $XDG_RUNTIME_DIR/brevel-logger-sim when the
// runtime directory is set, else /tmp/brevel-logger-sim.
QString VirtualLoggerDirectory();

struct VirtualLoggerEntry {
    QString Name;       // the link's file name
    QString LinkPath;   // the link itself; opening it opens the pseudo-terminal
    QString DevicePath; // where the link points (/dev/pts/N)
};

// The running virtual loggers announced in directory, sorted by name. Links
// whose target no longer exists (a simulator that died) are left out.
QList<VirtualLoggerEntry> ListVirtualLoggers(const QString& directory = VirtualLoggerDirectory());
