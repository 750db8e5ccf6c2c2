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

    bool LoseRequest();
    bool LoseAcknowledge();
    // How long a reply is held back: 0, or a delay from the late range.
    int LateDelayMs();
    // The reply bytes as they arrive at the computer: with noise, lost and
    // corrupted bytes, and cut short when the line goes dead.
    QByteArray Distort(const QByteArray& reply);
    bool LineDead() const { return lineDead_; }
    // The computer reconnected: a dead line comes back (once dead, it does
    // not die again).
    void Reconnect() { lineDead_ = false; }

private:
    bool Chance(double rate);

    FaultOptions options_;
    std::mt19937 generator_;
    int64_t bytesSent_ = 0;
    bool lineDead_ = false;
};
