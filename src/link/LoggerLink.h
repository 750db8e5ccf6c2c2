#pragma once

#include "core/ProgramOptions.h"
#include "link/LinkState.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class SerialPort;
class QEventLoop;

// One step of the conversation as the link saw it, for a communications log.
struct LinkTraceEvent {
    enum class Kind {
        Sent,            // bytes written: a frame (note "retry N" on a repeat) or a wake-up letter
        Acknowledged,    // the logger's 0xFA after a frame
        NotAcknowledged, // another byte, or none (note "timeout"), where 0xFA was wanted
        Received,        // a complete reply frame with a correct checksum
        BadFrame,        // a reply frame that failed; the note says why ("bad CRC", "timeout", ...)
        ReplyByte,       // a single reply byte (0xFC done, 0xFD no data, a wake-up answer)
        Timeout,         // no reply byte came in time
    };
    Kind Type = Kind::Sent;
    QByteArray Bytes; // as on the wire
    QString Note;
};
using LinkTrace = std::function<void(const LinkTraceEvent&)>;

// The byte and frame level of the conversation with the logger, on the one
// user-interface thread. Every wait runs the event loop, so timer ticks and
// clicks are served while the link waits; a wait ends when enough bytes are
// waiting or when ReplyCountdown, counted down by TickReplyCountdown from
// the 100 ms status tick, reaches 0.
class LoggerLink : public QObject {
    Q_OBJECT
public:
    LoggerLink(SerialPort& port, LinkState& state, const ProgramOptions& options, QObject* parent = nullptr);
    ~LoggerLink() override;

    SerialPort& Port() { return port_; }

    // Hears every frame and reply byte from now on; an empty function stops it.
    void SetTrace(LinkTrace trace) { trace_ = std::move(trace); }
    LinkState& State() { return state_; }
    const ProgramOptions& Options() const { return options_; }

    // Opens the port on that COM number with those line settings ("9600,N,8,1");
    // an open port with the same number and exactly the same text is reused.
    bool OpenPort(int portNumber, const QString& settings);
    void ClosePort();

    // Returns when at least count bytes are waiting or ticks ticks have
    // passed; with count 0 a pause of ticks ticks. Ends at once when the port
    // is closed or lost: no byte can come then.
    void WaitForBytes(int ticks, int count);
    // Returns once no byte has come for ticks ticks, throwing away what comes
    // meanwhile, so that a late reply cannot be taken for the answer to the
    // next request; a line that never falls quiet is given up on after ten
    // such periods. True when nothing came at all.
    bool WaitForQuiet(int ticks);
    // The start of every 100 ms status tick: counts ReplyCountdown down and
    // ends a wait whose time is up.
    void TickReplyCountdown();

    // One attempt of the wake-up handshake: flush, then "U"->"G", "G"->"W",
    // "W"->0xFC, each answer exactly one byte.
    bool WakeHandshake();

    // True when the logger acknowledged the frame; at most retries + 1 sends.
    bool SendFrame(const QByteArray& payload, int retries);
    // payload is sized by the caller to the reply it expects; on success it
    // holds the reply, on failure it is left as it was.
    bool ReceiveFrame(QByteArray& payload);
    // The next byte from the logger, or -1 when none came within ticks.
    int ReadReplyByte(int ticks);
    // Logger memory to buffer[offset .. offset + count - 1]; buffer is resized
    // to offset + count bytes. count at most 242, address below 2^24.
    bool ReadBlock(QByteArray& buffer, int offset, int count, int32_t address);
    // buffer[offset .. offset + count - 1] to logger memory; count at most
    // 238, address and last address below 65536.
    bool WriteBlock(const QByteArray& buffer, int offset, int count, int32_t address);

    static constexpr int MaxReadBlock = 242;
    static constexpr int MaxWriteBlock = 238;

private:
    struct Wait;

    bool WaitIsOver(const Wait& wait) const;
    void EndFinishedWaits();
    // The next byte of a reply, waiting ReplyTicks for it if none is waiting.
    int NextReplyByte();
    // Empty on success, else why the frame failed.
    QString ReceiveFrameBody(QByteArray& payload);
    void Trace(LinkTraceEvent::Kind kind, const QByteArray& bytes, const QString& note = {});
    void DrainStaleInput();

    SerialPort& port_;
    LinkState& state_;
    const ProgramOptions& options_;
    std::vector<Wait*> waits_; // innermost last: ticks and clicks may nest waits
    LinkTrace trace_;
    QByteArray frameBytes_; // what a frame receive has read, for the trace
};
