#pragma once

#include <QObject>
#include <QTimer>

// The main window's two 100 ms ticks: the status tick (counts the link's
// reply wait down, keeps the window in step) and the sample tick (the live
// sampling cycle). The program runs them on two timers, so that one tick
// may run while the other waits for the logger; a test hands the controller
// a source of its own and steps time itself.
class TickSource : public QObject {
    Q_OBJECT
public:
    enum class Tick { Status, Sample };

    using QObject::QObject;
    virtual void Start(Tick tick) = 0;
    virtual void Stop(Tick tick) = 0;
    virtual bool IsActive(Tick tick) const = 0;

signals:
    void Ticked(TickSource::Tick tick);
};

// The program's ticks: two 100 ms timers.
class TimerTicks final : public TickSource {
    Q_OBJECT
public:
    explicit TimerTicks(QObject* parent = nullptr);
    void Start(Tick tick) override { Timer(tick).start(); }
    void Stop(Tick tick) override { Timer(tick).stop(); }
    bool IsActive(Tick tick) const override;
    int Interval(Tick tick) const;

private:
    QTimer& Timer(Tick tick) { return tick == Tick::Status ? status_ : sample_; }
    QTimer status_;
    QTimer sample_;
};
