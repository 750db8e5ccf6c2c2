#include "FakeSerialPort.h"

#include <QMetaObject>
#include <utility>

void FakeSerialPort::feedReceived(const QByteArray& bytes)
{
    if (!open_ || bytes.isEmpty()) {
        return;
    }
    input_.append(bytes);
    QMetaObject::invokeMethod(this, &SerialPort::bytesArrived, Qt::QueuedConnection);
}

void FakeSerialPort::scriptReplies(const QList<QByteArray>& replies)
{
    auto script = std::make_shared<QList<QByteArray>>(replies);
    responder_ = [script](const QByteArray&) { return script->isEmpty() ? QByteArray() : script->takeFirst(); };
}

void FakeSerialPort::injectError()
{
    open_ = false;
    QMetaObject::invokeMethod(this, &SerialPort::portLost, Qt::QueuedConnection);
}

bool FakeSerialPort::setDtr(bool on)
{
    if (!open_) {
        return false;
    }
    dtr = on;
    return true;
}

QByteArray FakeSerialPort::readAll()
{
    return std::exchange(input_, {});
}

QByteArray FakeSerialPort::readOne()
{
    const QByteArray one = input_.left(1);
    input_.remove(0, 1);
    return one;
}

bool FakeSerialPort::write(const QByteArray& bytes)
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

bool FakeSerialPort::writeText(const QString& text)
{
    return write(text.toLatin1());
}
