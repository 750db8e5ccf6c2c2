#pragma once

#include <cstdint>

// The first byte of every request frame.
namespace Command {
constexpr uint8_t ReadClock = 0x00;
constexpr uint8_t SetClock = 0x01;
constexpr uint8_t ClearMemory = 0x04;
constexpr uint8_t InitialiseMemory = 0x06;
constexpr uint8_t WriteMemory = 0x07;
constexpr uint8_t ReadMemory = 0x08;
constexpr uint8_t StartSample = 0x09;
constexpr uint8_t ReadSample = 0x0A;
constexpr uint8_t ConfirmSettings = 0x0B;
constexpr uint8_t ReadStatus = 0x0C;
constexpr uint8_t HistoryBlock = 0x0D;
constexpr uint8_t ResetPulseCounts = 0x0E;
constexpr uint8_t ReadIdentification = 0x0F;
} // namespace Command
