#pragma once

#include "platform/SerialPort.h"

#include <QByteArray>
#include <QList>
#include <functional>

// Stands in for QtSerialPort (src/link), whose own tests over a pseudo-terminal are in tests/platform.
// A scripted serial port for link tests. Bytes the test feeds wait in the
// input buffer at once and bytesArrived follows queued, as a real port
// reports data from the event loop. A responder sees every write and may
// answer; its answer arrives on the next event-loop pass.
class FakeSerialPort : public SerialPort {
    Q_OBJECT
public:
    using Responder = std::function<QByteArray(const QByteArray& written)>;

    using SerialPort::SerialPort;

    void feedReceived(const QByteArray& bytes);
    // Answers each write in turn with the next scripted reply (an empty
    // reply is silence); writes after the script runs out get no answer.
    void scriptReplies(const QList<QByteArray>& replies);
    void setResponder(Responder responder) { responder_ = std::move(responder); }
    // The device goes away: the port closes and portLost follows queued.
    void injectError();

    QByteArray writtenData() const { return writes_.join(); }
    QList<QByteArray> writes() const { return writes_; }
    QByteArray pendingInput() const { return input_; }

    bool dtr = false;
    FlowControl flow = FlowControl::None;

    void SetPortNumber(int portNumber) override { number_ = portNumber; }
    int PortNumber() const override { return number_; }
    void SetLineSettings(const QString& settings) override { settings_ = settings; }
    QString LineSettingsText() const override { return settings_; }
    bool Open() override
    {
        open_ = true;
        return true;
    }
    OpenError LastOpenError() const override { return {}; }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    bool SetDtr(bool on) override;
    bool SetRts(bool) override { return open_; }
    bool SetFlowControl(FlowControl flowControl) override
    {
        flow = flowControl;
        return open_;
    }
    int BytesAvailable() const override { return static_cast<int>(input_.size()); }
    void DiscardInput() override { input_.clear(); }
    QByteArray ReadAll() override;
    QByteArray ReadOne() override;
    bool Write(const QByteArray& bytes) override;
    bool WriteText(const QString& text) override;

private:
    int number_ = 0;
    QString settings_;
    bool open_ = false;
    QByteArray input_;
    QList<QByteArray> writes_;
    Responder responder_;
};
