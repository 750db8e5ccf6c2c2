#include "link/FrameCodec.h"

uint16_t ComputeCrc16(const QByteArray& bytes, int first, int last)
{
    uint16_t crc = 0;
    for (int i = first; i <= last; ++i) {
        crc ^= static_cast<uint8_t>(bytes.at(i));
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
        }
    }
    return crc;
}

namespace {

void AppendEscaped(QByteArray& frame, uint8_t byte)
{
    if (byte >= Frame::Start && byte <= Frame::Escape) {
        frame.append(static_cast<char>(Frame::Escape));
        frame.append(static_cast<char>(byte - Frame::Start));
    } else {
        frame.append(static_cast<char>(byte));
    }
}

} // namespace

QByteArray BuildFrame(const QByteArray& payload)
{
    const uint16_t crc = ComputeCrc16(payload, 0, static_cast<int>(payload.size()) - 1);
    QByteArray frame;
    frame.reserve(2 * (payload.size() + 2) + 3);
    frame.append(static_cast<char>(Frame::Start));
    frame.append(static_cast<char>(payload.size() + 2));
    for (char byte : payload) {
        AppendEscaped(frame, static_cast<uint8_t>(byte));
    }
    AppendEscaped(frame, static_cast<uint8_t>(crc & 0xFF));
    AppendEscaped(frame, static_cast<uint8_t>(crc >> 8));
    frame.append(static_cast<char>(Frame::End));
    return frame;
}
