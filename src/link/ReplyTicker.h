#pragma once

#include <QObject>
#include <QTimer>

class LoggerLink;

// The 100 ms tick that counts the link's reply waits down, for uses of the
// link without the main window (tests, the command-line tool). The main
// window's status timer calls LoggerLink::TickReplyCountdown itself.
class ReplyTicker : public QObject {
    Q_OBJECT
public:
    explicit ReplyTicker(LoggerLink& link, int intervalMs = 100, QObject* parent = nullptr);

    void Start() { timer_.start(); }
    void Stop() { timer_.stop(); }

private:
    QTimer timer_;
};
