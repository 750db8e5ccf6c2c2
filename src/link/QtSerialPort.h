#pragma once

#include "platform/SerialPort.h"

#include <QSerialPort>
#include <optional>

class PortDirectory;

// Line settings text "baud,parity,data bits,stop bits" such as "9600,N,8,1".
struct LineSettings {
    qint32 BaudRate = 9600;
    QSerialPort::Parity Parity = QSerialPort::NoParity;
    QSerialPort::DataBits DataBits = QSerialPort::Data8;
    QSerialPort::StopBits StopBits = QSerialPort::OneStop;
};
std::optional<LineSettings> ParseLineSettings(const QString& text);

// The program's serial port over QSerialPort. COM numbers are turned into
// devices by the port directory when the port opens.
class QtSerialPort : public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(PortDirectory& directory, QObject* parent = nullptr);
    ~QtSerialPort() override;

    void SetPortNumber(int portNumber) override { number_ = portNumber; }
    int PortNumber() const override { return number_; }
    void SetLineSettings(const QString& settings) override { settings_ = settings; }
    QString LineSettingsText() const override { return settings_; }

    bool Open() override;
    OpenError LastOpenError() const override { return openError_; }
    void Close() override;
    bool IsOpen() const override;

    bool SetDtr(bool on) override;
    bool SetRts(bool on) override;
    bool SetFlowControl(FlowControl flow) override;

    int BytesAvailable() const override;
    void DiscardInput() override;
    QByteArray ReadAll() override;
    QByteArray ReadOne() override;
    bool Write(const QByteArray& bytes) override;
    bool WriteText(const QString& text) override;

private:
    void HandleError(QSerialPort::SerialPortError error);

    PortDirectory& directory_;
    QSerialPort port_;
    int number_ = 0;
    QString settings_;
    bool lost_ = false;
    OpenError openError_;
};
