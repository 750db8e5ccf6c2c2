#pragma once

#include "config/LoggerSettings.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

struct RatingState;

// The logger keeps its settings in a 458-byte image in its settings memory.
constexpr int SettingsImageSize = 458;

// A stretch of the image and where it lies in the logger's settings memory.
struct SettingsRegion {
    int ImageOffset;
    int Length;
    uint16_t Address;
};

// The image is read back in these three regions, in this order.
constexpr std::array<SettingsRegion, 3> SettingsReadRegions{{
    {0, 242, 8},     // general settings, alarms, unit names, decimals, calibration
    {242, 48, 256},  // display bottoms and tops
    {290, 168, 512}, // flow block
}};

// Writing splits the first region in two.
constexpr std::array<SettingsRegion, 4> SettingsWriteBlocks{{
    {0, 128, 8},
    {128, 114, 136},
    {242, 48, 256},
    {290, 168, 512},
}};

// The image of the record, or nothing when a value does not fit its field
// (an interval count, Deadband, raw scale, warm-up x 1000, alarm time or
// code out of range, or a character without a single-byte code). A failed
// encoding never hands out a partly filled image. With errorTrapping on, an
// unexpected failure inside is caught and also gives nothing.
std::optional<QByteArray> EncodeSettings(const LoggerSettings& settings, bool errorTrapping);

// Overwrites the record's fields from an image read from the logger; needs
// NumAnalogChannels, NumDigitalChannels and SodSupported to be current.
// Values the record cannot hold are corrected silently. An image whose flow
// block was never written (byte 290 = 0xFF) gives the default flow settings
// and resets the flow table. Fails on an image shorter than 458 bytes, and
// then leaves the record and the rating as they were.
bool DecodeSettings(const QByteArray& image, LoggerSettings& settings, RatingState& rating, bool errorTrapping);

// Writes the text at offset, cut or padded with spaces to width, one Latin-1
// byte per character. False when a character has no Latin-1 code or the
// field does not lie inside the image.
bool EncodeFixedText(const QString& text, QByteArray& image, int offset, int width);

// The text of width bytes at offset: bytes 32 to 127 as they are, any other
// byte as a space, trailing spaces removed.
QString DecodeFixedText(const QByteArray& image, int offset, int width);

// Changes are detected by comparing images, never fields: true when both
// images hold the same bytes. An image whose encoding failed equals nothing,
// so a record that cannot be encoded always counts as changed.
bool ImagesEqual(const std::optional<QByteArray>& a, const std::optional<QByteArray>& b);
