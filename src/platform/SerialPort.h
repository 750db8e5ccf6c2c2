#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The one serial port of the program, as the link drives it. Implemented
// over QSerialPort for real ports and pseudo-terminals, and in-process over
// the virtual logger's engine for tests.
class SerialPort : public QObject {
    Q_OBJECT
public:
    enum class FlowControl { None, Rts };
    // Why an open failed: the user may not open the device, another program
    // holds it, there is no such device, or anything else (line settings
    // refused, a device that does not answer to a serial port's calls).
    enum class OpenFailure { None, NoPermission, InUse, NoDevice, Other };
    struct OpenError {
        OpenFailure Reason = OpenFailure::None;
        QString Device; // the device as the system names it; empty when there is none
    };

    using QObject::QObject;
    ~SerialPort() override = default;

    virtual void SetPortNumber(int portNumber) = 0;
    virtual int PortNumber() const = 0;
    // Line settings text such as "38400,N,8,1".
    virtual void SetLineSettings(const QString& settings) = 0;
    virtual QString LineSettingsText() const = 0;

    virtual bool Open() = 0;
    // Why the last Open() failed; reason None after one that succeeded.
    virtual OpenError LastOpenError() const = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // A device without modem lines (a pseudo-terminal) reports false here;
    // that is not a failure of the port.
    virtual bool SetDtr(bool on) = 0;
    virtual bool SetRts(bool on) = 0;
    virtual bool SetFlowControl(FlowControl flow) = 0;

    virtual int BytesAvailable() const = 0;
    virtual void DiscardInput() = 0;
    virtual QByteArray ReadAll() = 0;
    // Exactly one byte, or an empty array when none is waiting.
    virtual QByteArray ReadOne() = 0;
    virtual bool Write(const QByteArray& bytes) = 0;
    virtual bool WriteText(const QString& text) = 0;

signals:
    // New bytes wait in the input buffer.
    void BytesArrived();
    // The device went away; the port has been closed (or will be, queued).
    void PortLost();
};
