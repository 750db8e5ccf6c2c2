#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

class SignalModel;

// One logged record: its packed time and the raw values, analog channels at
// 0 to 7 and the pulse channels at 8 and 9.
struct HistoryRecord {
    uint32_t Time = 0;
    std::array<uint16_t, 10> Values{};
};

// What the logger keeps through a power cycle: its settings memory (the
// signature at 0-7 and the settings regions), the history memory, its clock
// and the point its pulse accumulators count from.
struct LoggerMemory {
    // Settings memory addresses run from 0 to 65535; an erased byte reads 0xFF.
    static constexpr int SettingsMemorySize = 65536;

    QByteArray SettingsMemory = QByteArray(SettingsMemorySize, char(0xFF));
    std::vector<HistoryRecord> History;
    int64_t ClockOffsetSeconds = 0; // logger clock minus the computer's clock
    int64_t PulseSince = 0;         // wall seconds of the last accumulator reset

    // Bytes at address on; bytes past the end of the memory read 0xFF.
    QByteArray Read(uint32_t address, int count) const;
    // False (and nothing written) when the bytes would run past the end.
    bool Write(uint32_t address, const QByteArray& bytes);
    void EraseSettings();
    // A 458-byte settings image into its three regions (8-249, 256-303,
    // 512-679); an image of another size writes nothing.
    void WriteSettingsImage(const QByteArray& image);

    // The file keeps everything above. Loading fails on a file that is not
    // one of ours and leaves the memory as it was.
    bool Save(const QString& path, QString* error) const;
    bool Load(const QString& path, QString* error);
};

// count records, one every periodSeconds, the last at or just before
// lastTime (wall seconds); the pulse channels count from the first record.
std::vector<HistoryRecord> GenerateHistory(const SignalModel& model, int count, int periodSeconds,
                                           int64_t lastTime, int analogChannels, int pulseChannels);

// The record as the logger sends it: packed time (little-endian), then each
// analog and pulse channel's value, high byte first.
void AppendRecordBytes(QByteArray& out, const HistoryRecord& record, int analogChannels, int pulseChannels);
