#pragma once

#include <QByteArray>
#include <cstdint>

// The logger's frame: 0xF8, length (payload + 2, never escaped), the payload
// and the CRC-16/ARC of the payload (low byte first), each body byte escaped,
// then 0xF9. A body byte from 0xF8 to 0xFE goes out as 0xFE, byte - 0xF8.
namespace Frame {
constexpr uint8_t Start = 0xF8;
constexpr uint8_t End = 0xF9;
constexpr uint8_t Acknowledge = 0xFA;
constexpr uint8_t Done = 0xFC;
constexpr uint8_t NoData = 0xFD;
constexpr uint8_t Escape = 0xFE;
constexpr int MaxPayload = 245;
} // namespace Frame

// CRC-16/ARC of bytes[first..last], inclusive; 0 when first > last.
uint16_t ComputeCrc16(const QByteArray& bytes, int first, int last);

// The complete frame on the wire for a payload.
QByteArray BuildFrame(const QByteArray& payload);
