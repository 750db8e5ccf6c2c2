#include "SimSerialPort.h"

#include "SimDevice.h"

#include <algorithm>

SimSerialPort::SimSerialPort(SimDevice& device, int latencyMs, int baud, QObject* parent)
    : SerialPort(parent)
    , device_(device)
    , scheduler_(latencyMs, baud)
{
    clock_.start();
    deliveryTimer_.setSingleShot(true);
    deliveryTimer_.setTimerType(Qt::PreciseTimer);
    connect(&deliveryTimer_, &QTimer::timeout, this, &SimSerialPort::deliverDue);
}

bool SimSerialPort::open()
{
    if (open_ || !cablePresent_) {
        return false;
    }
    open_ = true;
    input_.clear();
    return true;
}

void SimSerialPort::close()
{
    if (!open_) {
        return;
    }
    open_ = false;
    dtr_ = false;
    rts_ = false;
    input_.clear();
    scheduler_.clear();
    deliveryTimer_.stop();
    device_.lineDropped();
}

bool SimSerialPort::setDtr(bool on)
{
    if (!open_) {
        return false;
    }
    if (dtr_ && !on) {
        device_.lineDropped();
    }
    dtr_ = on;
    return true;
}

bool SimSerialPort::setRts(bool on)
{
    if (!open_) {
        return false;
    }
    rts_ = on;
    return true;
}

bool SimSerialPort::setFlowControl(FlowControl flow)
{
    if (!open_) {
        return false;
    }
    flow_ = flow;
    return true;
}

QByteArray SimSerialPort::readAll()
{
    QByteArray bytes;
    bytes.swap(input_);
    return bytes;
}

QByteArray SimSerialPort::readOne()
{
    QByteArray byte = input_.left(1);
    input_.remove(0, byte.size());
    return byte;
}

bool SimSerialPort::write(const QByteArray& bytes)
{
    if (!open_) {
        return false;
    }
    scheduler_.schedule(device_.receive(bytes), nowUs());
    armTimer();
    return true;
}

bool SimSerialPort::writeText(const QString& text)
{
    return write(text.toLatin1());
}

void SimSerialPort::pullCable()
{
    cablePresent_ = false;
    if (open_) {
        close();
        emit portLost();
    }
}

void SimSerialPort::deliverDue()
{
    const QByteArray due = scheduler_.takeDue(nowUs());
    if (!due.isEmpty()) {
        input_ += due;
        emit bytesArrived();
    }
    armTimer();
}

void SimSerialPort::armTimer()
{
    const std::optional<int64_t> next = scheduler_.nextDueUs();
    if (!next || !open_) {
        return;
    }
    const int64_t waitUs = std::max<int64_t>(*next - nowUs(), 0);
    deliveryTimer_.start(static_cast<int>((waitUs + 999) / 1000));
}
