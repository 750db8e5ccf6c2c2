#include "app/TickSource.h"

TimerTicks::TimerTicks(QObject* parent) : TickSource(parent)
{
    for (auto [timer, tick] : {std::pair{&status_, Tick::Status}, std::pair{&sample_, Tick::Sample}}) {
        timer->setInterval(100);
        connect(timer, &QTimer::timeout, this, [this, tick = tick] { emit Ticked(tick); });
    }
}

bool TimerTicks::IsActive(Tick tick) const
{
    return (tick == Tick::Status ? status_ : sample_).isActive();
}

int TimerTicks::Interval(Tick tick) const
{
    return (tick == Tick::Status ? status_ : sample_).interval();
}
