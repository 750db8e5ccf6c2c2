#pragma once

#include <QByteArray>
#include <QList>

// Bytes a simulated device sends back, in pieces: each piece goes on the
// line DelayMs after the previous one has been sent (the logger needs time
// to initialise its memory, a modem to ring the other end).
struct ReplyPiece {
    int DelayMs = 0;
    QByteArray Bytes;
};
using Reply = QList<ReplyPiece>;

// All the bytes of a reply, without the pauses.
QByteArray JoinReply(const Reply& reply);

// Something on the far end of a serial line: the logger itself, or a modem
// in front of it. It answers the bytes it receives; the transport (an
// in-process port or a pseudo-terminal) decides when they arrive.
class SimDevice {
public:
    virtual ~SimDevice() = default;
    virtual Reply Receive(const QByteArray& bytes) = 0;
    // The computer's end of the line went away (port closed, DTR dropped):
    // a modem hangs up, the logger forgets any half-received request.
    virtual void LineDropped() = 0;
};
