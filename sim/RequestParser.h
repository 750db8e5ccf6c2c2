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
        Kind kind = Kind::LooseByte;
        uint8_t byte = 0;   // LooseByte
        QByteArray payload; // Frame
    };

    std::optional<Event> push(uint8_t byte);
    void reset();

private:
    enum class State { Idle, Length, Body, Escaped, End };

    std::optional<Event> startOver();
    std::optional<Event> finishFrame();

    State state_ = State::Idle;
    int bodyLength_ = 0;
    QByteArray body_;
};
