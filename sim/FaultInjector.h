#pragma once

#include "LoggerOptions.h"

#include <QByteArray>
#include <random>

// Draws the faults of FaultOptions. The generator is the standard Mersenne
// twister, whose sequence the C++ standard fixes, and every draw is made
// from its raw output, so a seed gives the same faults on every platform
// for the same requests.
class FaultInjector {
public:
    explicit FaultInjector(const FaultOptions& options);

    bool loseRequest();
    bool loseAcknowledge();
    // How long a reply is held back: 0, or a delay from the late range.
    int lateDelayMs();
    // The reply bytes as they arrive at the computer: with noise, lost and
    // corrupted bytes, and cut short when the line goes dead.
    QByteArray distort(const QByteArray& reply);
    bool lineDead() const { return lineDead_; }
    // The computer reconnected: a dead line comes back (once dead, it does
    // not die again).
    void reconnect() { lineDead_ = false; }

private:
    bool chance(double rate);

    FaultOptions options_;
    std::mt19937 generator_;
    int64_t bytesSent_ = 0;
    bool lineDead_ = false;
};
