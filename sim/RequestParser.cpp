#include "RequestParser.h"

#include "link/FrameCodec.h"

namespace {

// Payload 1 to MaxPayload bytes plus the two checksum bytes.
constexpr int MinBody = 3;
constexpr int MaxBody = Frame::MaxPayload + 2;

RequestParser::Event BadFrame()
{
    return {RequestParser::Event::Kind::BadFrame, 0, {}};
}

} // namespace

void RequestParser::Reset()
{
    state_ = State::Idle;
    body_.clear();
}

// A start byte where data was expected: the frame so far is bad, and a new
// one begins.
std::optional<RequestParser::Event> RequestParser::StartOver()
{
    body_.clear();
    state_ = State::Length;
    return BadFrame();
}

std::optional<RequestParser::Event> RequestParser::Push(uint8_t byte)
{
    switch (state_) {
    case State::Idle:
        if (byte == Frame::Start) {
            state_ = State::Length;
            body_.clear();
            return std::nullopt;
        }
        return Event{Event::Kind::LooseByte, byte, {}};
    case State::Length:
        if (byte == Frame::Start) {
            return StartOver();
        }
        if (byte < MinBody || byte > MaxBody) {
            Reset();
            return BadFrame();
        }
        bodyLength_ = byte;
        state_ = State::Body;
        return std::nullopt;
    case State::Body:
        if (byte == Frame::Start) {
            return StartOver();
        }
        if (byte == Frame::Escape) {
            state_ = State::Escaped;
            return std::nullopt;
        }
        body_.append(static_cast<char>(byte));
        break;
    case State::Escaped:
        if (byte == Frame::Start) {
            return StartOver();
        }
        if (byte > Frame::Escape - Frame::Start) {
            Reset();
            return BadFrame();
        }
        body_.append(static_cast<char>(Frame::Start + byte));
        state_ = State::Body;
        break;
    case State::End:
        if (byte == Frame::End) {
            return FinishFrame();
        }
        if (byte == Frame::Start) {
            return StartOver();
        }
        Reset();
        return BadFrame();
    }
    if (body_.size() == bodyLength_) {
        state_ = State::End;
    }
    return std::nullopt;
}

std::optional<RequestParser::Event> RequestParser::FinishFrame()
{
    const int payloadSize = static_cast<int>(body_.size()) - 2;
    const uint16_t received = static_cast<uint16_t>(static_cast<uint8_t>(body_.at(payloadSize))
                                                    | static_cast<uint8_t>(body_.at(payloadSize + 1)) << 8);
    QByteArray payload = body_.left(payloadSize);
    Reset();
    if (ComputeCrc16(payload, 0, payloadSize - 1) != received) {
        return BadFrame();
    }
    return Event{Event::Kind::Frame, 0, payload};
}
