#include "history/HistoryRecords.h"

#include "core/SampleRecord.h"

#include <algorithm>

void HistoryRecords::Reset(int valueCount)
{
    valueCount_ = std::clamp(valueCount, 0, 10);
    times_.clear();
    values_.clear();
}

bool HistoryRecords::AppendRecord(const char* recordBytes)
{
    if (IsFull()) {
        return false;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(recordBytes);
    times_.push_back(ReadPackedTimeValue(recordBytes));
    for (int k = 0; k < valueCount_; ++k) {
        values_.push_back(uint16_t(bytes[4 + 2 * k] << 8 | bytes[5 + 2 * k]));
    }
    return true;
}
