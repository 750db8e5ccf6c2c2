#include "link/PortDirectory.h"

#include <QRegularExpression>
#include <QSerialPortInfo>
#include <algorithm>

QString NumberedPort::Entry() const
{
    return QStringLiteral("COM%1 - %2 (%3)").arg(Number).arg(Device.Name, Device.DisplayPath);
}

QString FixedPortName(int number)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

QList<NumberedPort> NumberPorts(QList<SerialDevice> systemDevices, const QList<VirtualLoggerEntry>& virtualLoggers)
{
    static const QRegularExpression fixedPort(QStringLiteral("^/dev/ttyS(\\d+)$"));
    QList<NumberedPort> ports;
    QList<SerialDevice> others;
    for (const SerialDevice& device : systemDevices) {
        const QRegularExpressionMatch match = fixedPort.match(device.SystemPath);
        if (!match.hasMatch()) {
            others.append(device);
        } else if (const int index = match.captured(1).toInt(); index < PortDirectory::FixedPortCount) {
            ports.append({index + 1, device});
        }
    }
    std::sort(others.begin(), others.end(),
              [](const SerialDevice& a, const SerialDevice& b) { return a.SystemPath < b.SystemPath; });
    for (const VirtualLoggerEntry& logger : virtualLoggers) {
        others.append({logger.LinkPath, logger.DevicePath, QStringLiteral("Virtual logger ") + logger.Name});
    }
    int number = PortDirectory::FixedPortCount + 1;
    for (const SerialDevice& device : others) {
        if (number > PortDirectory::LastPortNumber) {
            break;
        }
        ports.append({number++, device});
    }
    std::sort(ports.begin(), ports.end(),
              [](const NumberedPort& a, const NumberedPort& b) { return a.Number < b.Number; });
    return ports;
}

PortDirectory::PortDirectory(QString virtualLoggerDirectory)
    : virtualLoggerDirectory_(std::move(virtualLoggerDirectory))
{
}

void PortDirectory::Rescan()
{
    scanned_ = true;
#ifdef Q_OS_WIN
    ports_.clear();
#else
    QList<SerialDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        QString name = info.description();
        if (name.isEmpty()) {
            name = info.manufacturer();
        }
        if (name.isEmpty()) {
            name = info.portName();
        }
        devices.append({info.systemLocation(), info.systemLocation(), name});
    }
    ports_ = NumberPorts(devices, ListVirtualLoggers(virtualLoggerDirectory_));
#endif
}

QString PortDirectory::SystemPortName(int number)
{
    if (number >= 1 && number <= FixedPortCount) {
        return FixedPortName(number);
    }
#ifdef Q_OS_WIN
    return number > 0 ? QStringLiteral("COM%1").arg(number) : QString();
#else
    if (!scanned_) {
        Rescan();
    }
    for (const NumberedPort& port : ports_) {
        if (port.Number == number) {
            return port.Device.SystemPath;
        }
    }
    return {};
#endif
}
