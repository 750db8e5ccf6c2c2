#pragma once

#include "platform/SerialPort.h"

#include <QByteArray>
#include <QList>
#include <QMetaObject>
#include <functional>
#include <memory>
#include <utility>

// Stands in for QtSerialPort, tested over a pseudo-terminal in tests/platform. Fed bytes wait in the input buffer
// at once and BytesArrived follows queued, as a real port reports from the event loop; so does a responder's answer.
class FakeSerialPort : public SerialPort {
    Q_OBJECT
public:
    using Responder = std::function<QByteArray(const QByteArray& written)>;

    using SerialPort::SerialPort;

    void feedReceived(const QByteArray& bytes)
    {
        if (open_ && !bytes.isEmpty()) {
            input_.append(bytes);
            QMetaObject::invokeMethod(this, &SerialPort::BytesArrived, Qt::QueuedConnection);
        }
    }
    // Answers each write with the next reply (an empty one is silence), and nothing once the script runs out.
    void scriptReplies(const QList<QByteArray>& replies)
    {
        auto script = std::make_shared<QList<QByteArray>>(replies);
        responder_ = [script](const QByteArray&) { return script->isEmpty() ? QByteArray() : script->takeFirst(); };
    }
    void setResponder(Responder responder) { responder_ = std::move(responder); }
    // The device goes away: the port closes and portLost follows queued.
    void injectError()
    {
        open_ = false;
        QMetaObject::invokeMethod(this, &SerialPort::PortLost, Qt::QueuedConnection);
    }

    QByteArray writtenData() const { return writes_.join(); }
    QList<QByteArray> writes() const { return writes_; }
    QByteArray pendingInput() const { return input_; }

    bool dtr = false;
    FlowControl flow = FlowControl::None;

    void SetPortNumber(int portNumber) override { number_ = portNumber; }
    int PortNumber() const override { return number_; }
    void SetLineSettings(const QString& settings) override { settings_ = settings; }
    QString LineSettingsText() const override { return settings_; }
    bool Open() override { return open_ = true; }
    OpenError LastOpenError() const override { return {}; }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    bool SetDtr(bool on) override
    {
        dtr = open_ ? on : dtr;
        return open_;
    }
    bool SetRts(bool) override { return open_; }
    bool SetFlowControl(FlowControl flowControl) override
    {
        flow = flowControl;
        return open_;
    }
    int BytesAvailable() const override { return static_cast<int>(input_.size()); }
    void DiscardInput() override { input_.clear(); }
    QByteArray ReadAll() override { return std::exchange(input_, {}); }
    QByteArray ReadOne() override
    {
        const QByteArray one = input_.left(1);
        input_.remove(0, 1);
        return one;
    }
    bool Write(const QByteArray& bytes) override
    {
        if (!open_) {
            return false;
        }
        writes_.append(bytes);
        const QByteArray reply = responder_ ? responder_(bytes) : QByteArray();
        if (!reply.isEmpty()) {
            QMetaObject::invokeMethod(this, [this, reply] { feedReceived(reply); }, Qt::QueuedConnection);
        }
        return true;
    }
    bool WriteText(const QString& text) override { return Write(text.toLatin1()); }

private:
    int number_ = 0;
    QString settings_;
    bool open_ = false;
    QByteArray input_;
    QList<QByteArray> writes_;
    Responder responder_;
};
