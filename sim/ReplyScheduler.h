#pragma once

#include "SimDevice.h"

#include <cstdint>
#include <deque>
#include <optional>

// When each reply byte reaches the computer: after the reply latency, after
// the pauses inside the reply, and, when a baud rate is given, one byte per
// ten bit times (start, eight data bits, stop), never overtaking the bytes
// still on the line. Times are microseconds on any steady clock.
class ReplyScheduler {
public:
    ReplyScheduler(int latencyMs = 0, int baud = 0);

    void Schedule(const Reply& reply, int64_t nowUs);
    // The bytes due by now, in order.
    QByteArray TakeDue(int64_t nowUs);
    std::optional<int64_t> NextDueUs() const;
    void Clear();

private:
    struct TimedByte {
        int64_t DueUs;
        char Byte;
    };

    int64_t latencyUs_;
    int64_t byteUs_;
    int64_t lineFreeUs_ = 0;
    std::deque<TimedByte> queue_;
};
