#include "link/QtSerialPort.h"

#include "link/PortDirectory.h"

#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QStringList>
#include <cerrno>
#include <limits>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

std::optional<LineSettings> ParseLineSettings(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4) {
        return std::nullopt;
    }
    LineSettings settings;
    bool ok = false;
    settings.BaudRate = parts.at(0).trimmed().toInt(&ok);
    if (!ok || settings.BaudRate <= 0) {
        return std::nullopt;
    }
    const QString parity = parts.at(1).trimmed().toUpper();
    if (parity == QLatin1String("N")) {
        settings.Parity = QSerialPort::NoParity;
    } else if (parity == QLatin1String("E")) {
        settings.Parity = QSerialPort::EvenParity;
    } else if (parity == QLatin1String("O")) {
        settings.Parity = QSerialPort::OddParity;
    } else if (parity == QLatin1String("M")) {
        settings.Parity = QSerialPort::MarkParity;
    } else if (parity == QLatin1String("S")) {
        settings.Parity = QSerialPort::SpaceParity;
    } else {
        return std::nullopt;
    }
    const int dataBits = parts.at(2).trimmed().toInt(&ok);
    if (!ok || dataBits < 5 || dataBits > 8) {
        return std::nullopt;
    }
    settings.DataBits = static_cast<QSerialPort::DataBits>(dataBits);
    const QString stop = parts.at(3).trimmed();
    if (stop == QLatin1String("1")) {
        settings.StopBits = QSerialPort::OneStop;
    } else if (stop == QLatin1String("1.5")) {
        settings.StopBits = QSerialPort::OneAndHalfStop;
    } else if (stop == QLatin1String("2")) {
        settings.StopBits = QSerialPort::TwoStop;
    } else {
        return std::nullopt;
    }
    return settings;
}

namespace {

// QSerialPort reports a device the user may not open, one another program
// holds (its exclusive lock or its lock file) and a failed lock file all as
// a PermissionError; the device's access rights tell them apart. Windows
// denies access to a port only while another program has it open.
SerialPort::OpenError OpenErrorOf(QSerialPort::SerialPortError error, const QString& device)
{
    const QString canonical = QFileInfo(device).canonicalFilePath();
    const QString shown = canonical.isEmpty() ? device : canonical;
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return {SerialPort::OpenFailure::NoDevice, shown};
    case QSerialPort::PermissionError:
#ifdef Q_OS_UNIX
        if (::access(QFile::encodeName(device).constData(), R_OK | W_OK) != 0 && errno == EACCES) {
            return {SerialPort::OpenFailure::NoPermission, shown};
        }
#endif
        return {SerialPort::OpenFailure::InUse, shown};
    default:
        return {SerialPort::OpenFailure::Other, shown};
    }
}

} // namespace

QtSerialPort::QtSerialPort(PortDirectory& directory, QObject* parent) : SerialPort(parent), directory_(directory)
{
    connect(&port_, &QSerialPort::readyRead, this, &SerialPort::BytesArrived);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::HandleError);
}

QtSerialPort::~QtSerialPort()
{
    port_.close();
}

bool QtSerialPort::Open()
{
    Close();
    openError_ = {};
    const QString device = directory_.SystemPortName(number_);
    if (device.isEmpty()) {
        openError_ = {OpenFailure::NoDevice, QString()};
        return false;
    }
    const std::optional<LineSettings> line = ParseLineSettings(settings_);
    if (!line) {
        openError_ = {OpenFailure::Other, device};
        return false;
    }
    port_.setPortName(device);
    if (!port_.open(QIODevice::ReadWrite)) {
        openError_ = OpenErrorOf(port_.error(), device);
        return false;
    }
    lost_ = false;
    if (!port_.setBaudRate(line->BaudRate) || !port_.setParity(line->Parity) || !port_.setDataBits(line->DataBits)
        || !port_.setStopBits(line->StopBits)) {
        port_.close();
        openError_ = {OpenFailure::Other, device};
        return false;
    }
    return true;
}

void QtSerialPort::Close()
{
    if (port_.isOpen()) {
        port_.close();
    }
}

bool QtSerialPort::IsOpen() const
{
    return port_.isOpen() && !lost_;
}

bool QtSerialPort::SetDtr(bool on)
{
    return IsOpen() && port_.setDataTerminalReady(on);
}

bool QtSerialPort::SetRts(bool on)
{
    return IsOpen() && port_.setRequestToSend(on);
}

bool QtSerialPort::SetFlowControl(FlowControl flow)
{
    return IsOpen()
        && port_.setFlowControl(flow == FlowControl::Rts ? QSerialPort::HardwareControl : QSerialPort::NoFlowControl);
}

int QtSerialPort::BytesAvailable() const
{
    if (!IsOpen()) {
        return 0;
    }
    return static_cast<int>(std::min<qint64>(port_.bytesAvailable(), std::numeric_limits<int>::max()));
}

void QtSerialPort::DiscardInput()
{
    if (IsOpen()) {
        port_.clear(QSerialPort::Input);
    }
}

QByteArray QtSerialPort::ReadAll()
{
    return IsOpen() ? port_.readAll() : QByteArray();
}

QByteArray QtSerialPort::ReadOne()
{
    return IsOpen() ? port_.read(1) : QByteArray();
}

bool QtSerialPort::Write(const QByteArray& bytes)
{
    if (!IsOpen() || port_.write(bytes) != bytes.size()) {
        return false;
    }
    port_.flush();
    return true;
}

bool QtSerialPort::WriteText(const QString& text)
{
    return Write(text.toLatin1());
}

void QtSerialPort::HandleError(QSerialPort::SerialPortError error)
{
    // When the other end goes away the port reports these errors without
    // end while it stays open: close it once control returns to the event
    // loop, and end any wait now.
    if ((error != QSerialPort::ReadError && error != QSerialPort::ResourceError) || lost_ || !port_.isOpen()) {
        return;
    }
    lost_ = true;
    QMetaObject::invokeMethod(
        this, [this] { if (lost_) port_.close(); }, Qt::QueuedConnection);
    emit PortLost();
}
