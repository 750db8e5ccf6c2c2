#include "link/ReplyTicker.h"

#include "link/LoggerLink.h"

ReplyTicker::ReplyTicker(LoggerLink& link, int intervalMs, QObject* parent) : QObject(parent)
{
    timer_.setInterval(intervalMs);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, &link, &LoggerLink::TickReplyCountdown);
}
