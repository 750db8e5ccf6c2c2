#include "app/TickSource.h"

TimerTicks::TimerTicks(QObject* parent) : TickSource(parent)
{
    for (auto [timer, tick] : {std::pair{&status_, Tick::Status}, std::pair{&sample_, Tick::Sample}}) {
        timer->setInterval(100);
        connect(timer, &QTimer::timeout, this, [this, tick = tick] { emit ticked(tick); });
    }
}

bool TimerTicks::isActive(Tick tick) const
{
    return (tick == Tick::Status ? status_ : sample_).isActive();
}

int TimerTicks::interval(Tick tick) const
{
    return (tick == Tick::Status ? status_ : sample_).interval();
}
