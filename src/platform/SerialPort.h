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
        OpenFailure reason = OpenFailure::None;
        QString device; // the device as the system names it; empty when there is none
    };

    using QObject::QObject;
    ~SerialPort() override = default;

    virtual void setPortNumber(int portNumber) = 0;
    virtual int portNumber() const = 0;
    // Line settings text such as "38400,N,8,1".
    virtual void setLineSettings(const QString& settings) = 0;
    virtual QString lineSettings() const = 0;

    virtual bool open() = 0;
    // Why the last open() failed; reason None after one that succeeded.
    virtual OpenError lastOpenError() const = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // A device without modem lines (a pseudo-terminal) reports false here;
    // that is not a failure of the port.
    virtual bool setDtr(bool on) = 0;
    virtual bool setRts(bool on) = 0;
    virtual bool setFlowControl(FlowControl flow) = 0;

    virtual int bytesAvailable() const = 0;
    virtual void discardInput() = 0;
    virtual QByteArray readAll() = 0;
    // Exactly one byte, or an empty array when none is waiting.
    virtual QByteArray readOne() = 0;
    virtual bool write(const QByteArray& bytes) = 0;
    virtual bool writeText(const QString& text) = 0;

signals:
    // New bytes wait in the input buffer.
    void bytesArrived();
    // The device went away; the port has been closed (or will be, queued).
    void portLost();
};
