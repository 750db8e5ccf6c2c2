#pragma once

#include "SimDevice.h"

#include <QByteArray>
#include <QMap>

class LoggerEngine;

struct ModemOptions {
    enum class DialOutcome { Connect, Busy, NoCarrier };
    DialOutcome Outcome = DialOutcome::Connect;
    // From the dial command to the modem's answer: ringing and the handshake.
    int ConnectDelayMs = 2000;
};

// A Hayes-command modem with the logger on the far end of its telephone
// line. In command mode it echoes what it receives (ATE1, the default) and
// answers each command line with a result code, verbose ("OK") or numeric
// ("0") as ATV1/ATV0 choose, none at all after ATQ1. It knows E, V, Q, Z,
// &F, H, I, L, M, X, S registers, &C, &D, &K, &W and D; any other command
// gets "ERROR". ATD dials: after the connect delay it answers "CONNECT" and
// passes bytes to and from the logger until the line drops, or "BUSY" or
// "NO CARRIER" as configured.
class HayesModem : public SimDevice {
public:
    HayesModem(LoggerEngine& logger, const ModemOptions& options);

    Reply Receive(const QByteArray& bytes) override;
    void LineDropped() override;

    bool Online() const { return online_; }

private:
    enum class Result { Ok = 0, Connect = 1, NoCarrier = 3, Error = 4, Busy = 7 };

    Reply CommandLine(const QByteArray& line);
    QByteArray ResultCode(Result result) const;
    void ResetSettings();

    LoggerEngine& logger_;
    ModemOptions options_;
    QByteArray line_;
    QMap<int, int> registers_;
    bool online_ = false;
    bool echo_ = true;
    bool verbose_ = true;
    bool quiet_ = false;
};
