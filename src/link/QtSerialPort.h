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

    void setPortNumber(int portNumber) override { number_ = portNumber; }
    int portNumber() const override { return number_; }
    void setLineSettings(const QString& settings) override { settings_ = settings; }
    QString lineSettings() const override { return settings_; }

    bool open() override;
    OpenError lastOpenError() const override { return openError_; }
    void close() override;
    bool isOpen() const override;

    bool setDtr(bool on) override;
    bool setRts(bool on) override;
    bool setFlowControl(FlowControl flow) override;

    int bytesAvailable() const override;
    void discardInput() override;
    QByteArray readAll() override;
    QByteArray readOne() override;
    bool write(const QByteArray& bytes) override;
    bool writeText(const QString& text) override;

private:
    void handleError(QSerialPort::SerialPortError error);

    PortDirectory& directory_;
    QSerialPort port_;
    int number_ = 0;
    QString settings_;
    bool lost_ = false;
    OpenError openError_;
};
