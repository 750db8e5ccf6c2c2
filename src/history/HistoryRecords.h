#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// The records of the last history download, in download order. Each record
// is kept as the logger sent it (packed time and raw 16-bit counts), so
// 200 000 records take a few megabytes; texts are made when shown.
class HistoryRecords {
public:
    static constexpr int Capacity = 200000;

    // Empties the store for records of the given number of values
    // (analog channels, then pulse channels; at most 10).
    void Reset(int valueCount);

    int Count() const { return int(times_.size()); }
    int ValueCount() const { return valueCount_; }
    bool IsFull() const { return Count() >= Capacity; }

    // Appends one record as it stands in a history block: packed time,
    // little-endian, then each value high byte first. False when full.
    bool AppendRecord(const char* recordBytes);

    uint32_t PackedTime(int index) const { return times_[size_t(index)]; }
    uint16_t Value(int index, int k) const { return values_[size_t(index) * size_t(valueCount_) + size_t(k)]; }

private:
    int valueCount_ = 0;
    std::vector<uint32_t> times_;
    std::vector<uint16_t> values_;
};
