#pragma once

#include "ReplyScheduler.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class QSocketNotifier;
class SimDevice;

// Serves a simulated device on a pseudo-terminal: the program opens the
// slave side (/dev/pts/N) as if it were a serial port. The slave is raw and
// stays open here, so that reads of the master do not fail while no program
// has the port open. The server watches the slave for opens and closes: when
// the last client closes it (or dies), the device hears the line drop, what
// was still on the line is thrown away and a lock the client left on the
// port is cleared.
class PtyServer : public QObject {
    Q_OBJECT
public:
    PtyServer(SimDevice& device, int latencyMs, int baud, QObject* parent = nullptr);
    ~PtyServer() override;

    bool Start(QString* error);
    QString DevicePath() const { return devicePath_; }
    // A stable name for the device: a symbolic link at linkPath, replaced
    // atomically if one is there, removed again when the server ends.
    bool Announce(const QString& linkPath, QString* error);
    // Every request and reply, in hexadecimal, on standard error.
    void SetTrace(bool on) { trace_ = on; }

private:
    void ReadRequests();
    void DeliverDue();
    void FlushOutput();
    void WatchEvents();
    void LastClientGone();
    void ArmTimer();
    void MakeRaw() const;
    int64_t NowUs() const { return clock_.nsecsElapsed() / 1000; }

    SimDevice& device_;
    ReplyScheduler scheduler_;
    QElapsedTimer clock_;
    QTimer deliveryTimer_;
    QSocketNotifier* readNotifier_ = nullptr;
    QSocketNotifier* writeNotifier_ = nullptr;
    QSocketNotifier* watchNotifier_ = nullptr;
    QByteArray output_;
    QString devicePath_;
    QString linkPath_;
    int master_ = -1;
    int slave_ = -1;
    int watch_ = -1;
    int clients_ = 0;
    bool trace_ = false;
};
