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
    connect(&deliveryTimer_, &QTimer::timeout, this, &SimSerialPort::DeliverDue);
}

bool SimSerialPort::Open()
{
    if (open_ || !cablePresent_) {
        return false;
    }
    open_ = true;
    input_.clear();
    return true;
}

void SimSerialPort::Close()
{
    if (!open_) {
        return;
    }
    open_ = false;
    dtr_ = false;
    rts_ = false;
    input_.clear();
    scheduler_.Clear();
    deliveryTimer_.stop();
    device_.LineDropped();
}

bool SimSerialPort::SetDtr(bool on)
{
    if (!open_) {
        return false;
    }
    if (dtr_ && !on) {
        device_.LineDropped();
    }
    dtr_ = on;
    return true;
}

bool SimSerialPort::SetRts(bool on)
{
    if (!open_) {
        return false;
    }
    rts_ = on;
    return true;
}

bool SimSerialPort::SetFlowControl(FlowControl flow)
{
    if (!open_) {
        return false;
    }
    flow_ = flow;
    return true;
}

QByteArray SimSerialPort::ReadAll()
{
    QByteArray bytes;
    bytes.swap(input_);
    return bytes;
}

QByteArray SimSerialPort::ReadOne()
{
    QByteArray byte = input_.left(1);
    input_.remove(0, byte.size());
    return byte;
}

bool SimSerialPort::Write(const QByteArray& bytes)
{
    if (!open_) {
        return false;
    }
    scheduler_.Schedule(device_.Receive(bytes), NowUs());
    ArmTimer();
    return true;
}

bool SimSerialPort::WriteText(const QString& text)
{
    return Write(text.toLatin1());
}

void SimSerialPort::PullCable()
{
    cablePresent_ = false;
    if (open_) {
        Close();
        emit PortLost();
    }
}

void SimSerialPort::DeliverDue()
{
    const QByteArray due = scheduler_.TakeDue(NowUs());
    if (!due.isEmpty()) {
        input_ += due;
        emit BytesArrived();
    }
    ArmTimer();
}

void SimSerialPort::ArmTimer()
{
    const std::optional<int64_t> next = scheduler_.NextDueUs();
    if (!next || !open_) {
        return;
    }
    const int64_t waitUs = std::max<int64_t>(*next - NowUs(), 0);
    deliveryTimer_.start(static_cast<int>((waitUs + 999) / 1000));
}
