#pragma once

#include "ReplyScheduler.h"
#include "platform/SerialPort.h"

#include <QElapsedTimer>
#include <QTimer>

class SimDevice;

// A serial port with a simulated device on the other end of the line, all
// in this process: what is written goes to the device at once, its answer
// arrives later through the event loop (bytesArrived), after the latency
// and at the pace of the baud rate given. For the tests of everything that
// talks to a logger.
class SimSerialPort : public SerialPort {
    Q_OBJECT
public:
    explicit SimSerialPort(SimDevice& device, int latencyMs = 0, int baud = 0, QObject* parent = nullptr);

    void setPortNumber(int portNumber) override { portNumber_ = portNumber; }
    int portNumber() const override { return portNumber_; }
    void setLineSettings(const QString& settings) override { lineSettings_ = settings; }
    QString lineSettings() const override { return lineSettings_; }

    bool open() override;
    // Opening fails only while the cable is out: no device.
    OpenError lastOpenError() const override
    {
        return cablePresent_ ? OpenError{} : OpenError{OpenFailure::NoDevice, QString()};
    }
    void close() override;
    bool isOpen() const override { return open_; }

    // Dropping DTR tells the device the computer hung up.
    bool setDtr(bool on) override;
    bool setRts(bool on) override;
    bool setFlowControl(FlowControl flow) override;
    bool dtr() const { return dtr_; }
    bool rts() const { return rts_; }
    FlowControl flowControl() const { return flow_; }

    int bytesAvailable() const override { return static_cast<int>(input_.size()); }
    void discardInput() override { input_.clear(); }
    QByteArray readAll() override;
    QByteArray readOne() override;
    bool write(const QByteArray& bytes) override;
    bool writeText(const QString& text) override;

    // The cable comes out: an open port is lost (portLost), and opening
    // fails until the cable is back.
    void pullCable();
    void plugCable() { cablePresent_ = true; }

private:
    void deliverDue();
    void armTimer();
    int64_t nowUs() const { return clock_.nsecsElapsed() / 1000; }

    SimDevice& device_;
    ReplyScheduler scheduler_;
    QTimer deliveryTimer_;
    QElapsedTimer clock_;
    QByteArray input_;
    QString lineSettings_;
    int portNumber_ = 1;
    bool open_ = false;
    bool cablePresent_ = true;
    bool dtr_ = false;
    bool rts_ = false;
    FlowControl flow_ = FlowControl::None;
};
