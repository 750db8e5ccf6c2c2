#include "ReplyFrames.h"

#include "link/FrameCodec.h"

QByteArray AckedFramePayload(const QByteArray& reply)
{
    if (reply.size() < 6 || static_cast<uint8_t>(reply.at(0)) != Frame::Acknowledge) {
        return {};
    }
    const QByteArray frame = reply.mid(1);
    const int length = static_cast<uint8_t>(frame.at(1));
    QByteArray body;
    for (int i = 2; i < frame.size() - 1; ++i) {
        uint8_t byte = static_cast<uint8_t>(frame.at(i));
        if (byte == Frame::Escape && i + 1 < frame.size()) {
            byte = static_cast<uint8_t>(Frame::Start + static_cast<uint8_t>(frame.at(++i)));
        }
        body.append(static_cast<char>(byte));
    }
    // Rebuilding the frame from the payload checks length, escapes, checksum and end.
    if (body.size() != length || BuildFrame(body.left(length - 2)) != frame) {
        return {};
    }
    return body.left(length - 2);
}
