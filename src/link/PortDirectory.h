#pragma once

#include "link/VirtualLoggerDirectory.h"

#include <QList>
#include <QString>
#include <QStringList>

// A serial device the system reports, before it gets a COM number.
struct SerialDevice {
    QString SystemPath;  // what the port opens: /dev/ttyUSB0, a virtual logger's link
    QString DisplayPath; // what the user is shown: /dev/ttyUSB0, /dev/pts/3
    QString Name;        // "FT232R USB UART", "Virtual logger river"
};

// A device with its COM number.
struct NumberedPort {
    int Number = 0;
    SerialDevice Device;

    // "COM9 - FT232R USB UART (/dev/ttyUSB0)"
    QString Entry() const;
};

// Where the program's COM numbers lead. On Windows they are the system's own
// port names. Elsewhere COM1 to COM8 are /dev/ttyS0 to /dev/ttyS7, and the
// other devices the system reports (USB adapters, ACM modems), then the
// running virtual loggers, take COM9 to COM16 in a stable order.
class PortDirectory {
public:
    static constexpr int FixedPortCount = 8;
    static constexpr int LastPortNumber = 16;

    explicit PortDirectory(QString virtualLoggerDirectory = VirtualLoggerDirectory());

    // Looks again at the devices present now.
    void Rescan();
    // The device a COM number opens ("" when there is none); scans first if
    // the directory has never looked.
    QString SystemPortName(int number);
    // Every numbered device as of the last scan, by number.
    const QList<NumberedPort>& Ports() const { return ports_; }

private:
    QString virtualLoggerDirectory_;
    QList<NumberedPort> ports_;
    bool scanned_ = false;
};

// Gives COM numbers to the devices found: /dev/ttyS0 to /dev/ttyS7 keep 1 to
// 8; the others, sorted by path, then the virtual loggers in the order given,
// take 9 to 16 while numbers last. Other /dev/ttyS ports get no number.
QList<NumberedPort> NumberPorts(QList<SerialDevice> systemDevices, const QList<VirtualLoggerEntry>& virtualLoggers);

// The system name of a fixed COM number (1 to 8) on this platform.
QString FixedPortName(int number);
