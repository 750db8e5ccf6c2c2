#include "FakeSerialPort.h"

#include <QMetaObject>
#include <utility>

void FakeSerialPort::feedReceived(const QByteArray& bytes)
{
    if (!open_ || bytes.isEmpty()) {
        return;
    }
    input_.append(bytes);
    QMetaObject::invokeMethod(this, &SerialPort::BytesArrived, Qt::QueuedConnection);
}

void FakeSerialPort::scriptReplies(const QList<QByteArray>& replies)
{
    auto script = std::make_shared<QList<QByteArray>>(replies);
    responder_ = [script](const QByteArray&) { return script->isEmpty() ? QByteArray() : script->takeFirst(); };
}

void FakeSerialPort::injectError()
{
    open_ = false;
    QMetaObject::invokeMethod(this, &SerialPort::PortLost, Qt::QueuedConnection);
}

bool FakeSerialPort::SetDtr(bool on)
{
    if (!open_) {
        return false;
    }
    dtr = on;
    return true;
}

QByteArray FakeSerialPort::ReadAll()
{
    return std::exchange(input_, {});
}

QByteArray FakeSerialPort::ReadOne()
{
    const QByteArray one = input_.left(1);
    input_.remove(0, 1);
    return one;
}

bool FakeSerialPort::Write(const QByteArray& bytes)
{
    if (!open_) {
        return false;
    }
    writes_.append(bytes);
    if (responder_) {
        const QByteArray reply = responder_(bytes);
        if (!reply.isEmpty()) {
            QMetaObject::invokeMethod(this, [this, reply] { feedReceived(reply); }, Qt::QueuedConnection);
        }
    }
    return true;
}

bool FakeSerialPort::WriteText(const QString& text)
{
    return Write(text.toLatin1());
}
