#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>

// The logger's side of the frame format: picks request frames out of the
// incoming bytes and hands every byte outside a frame on as it is (the
// wake-up letters travel unframed). A frame with a wrong length, a bad
// escape, a missing end byte or a wrong checksum is reported as bad; the
// logger does not acknowledge it. A raw start byte inside a frame means the
// computer gave up on the frame and starts again, so the parser does too.
class RequestParser {
public:
    struct Event {
        enum class Kind { LooseByte, Frame, BadFrame };
        Kind Type = Kind::LooseByte;
        uint8_t Byte = 0;   // LooseByte
        QByteArray Payload; // Frame
    };

    std::optional<Event> Push(uint8_t byte);
    void Reset();

private:
    enum class State { Idle, Length, Body, Escaped, End };

    std::optional<Event> StartOver();
    std::optional<Event> FinishFrame();

    State state_ = State::Idle;
    int bodyLength_ = 0;
    QByteArray body_;
};
