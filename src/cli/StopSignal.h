#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

// Ctrl-C (SIGINT) and SIGTERM as a flag that the work looks at between
// steps, so that a download stops between blocks and keeps what is
// complete. The signals are blocked and read from a signalfd on the event
// loop, which every wait of the link runs.
class StopSignal : public QObject {
    Q_OBJECT
public:
    StopSignal();
    ~StopSignal() override;

    bool Requested() const { return requested_; }

signals:
    void StopRequested();

private:
    void ReadSignal();

    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool requested_ = false;
};
