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

    void SetPortNumber(int portNumber) override { portNumber_ = portNumber; }
    int PortNumber() const override { return portNumber_; }
    void SetLineSettings(const QString& settings) override { lineSettings_ = settings; }
    QString LineSettingsText() const override { return lineSettings_; }

    bool Open() override;
    // Opening fails only while the cable is out: no device.
    OpenError LastOpenError() const override
    {
        return cablePresent_ ? OpenError{} : OpenError{OpenFailure::NoDevice, QString()};
    }
    void Close() override;
    bool IsOpen() const override { return open_; }

    // Dropping DTR tells the device the computer hung up.
    bool SetDtr(bool on) override;
    bool SetRts(bool on) override;
    bool SetFlowControl(FlowControl flow) override;
    bool Dtr() const { return dtr_; }
    bool Rts() const { return rts_; }
    FlowControl CurrentFlowControl() const { return flow_; }

    int BytesAvailable() const override { return static_cast<int>(input_.size()); }
    void DiscardInput() override { input_.clear(); }
    QByteArray ReadAll() override;
    QByteArray ReadOne() override;
    bool Write(const QByteArray& bytes) override;
    bool WriteText(const QString& text) override;

    // The cable comes out: an open port is lost (portLost), and opening
    // fails until the cable is back.
    void PullCable();
    void PlugCable() { cablePresent_ = true; }

private:
    void DeliverDue();
    void ArmTimer();
    int64_t NowUs() const { return clock_.nsecsElapsed() / 1000; }

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
