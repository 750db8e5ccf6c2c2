#include "ReplyScheduler.h"

#include <algorithm>

ReplyScheduler::ReplyScheduler(int latencyMs, int baud)
    : latencyUs_(int64_t(std::max(latencyMs, 0)) * 1000)
    , byteUs_(baud > 0 ? 10'000'000 / baud : 0)
{
}

void ReplyScheduler::Schedule(const Reply& reply, int64_t nowUs)
{
    int64_t cursor = std::max(nowUs + latencyUs_, lineFreeUs_);
    for (const ReplyPiece& piece : reply) {
        cursor += int64_t(std::max(piece.DelayMs, 0)) * 1000;
        for (char byte : piece.Bytes) {
            cursor += byteUs_;
            queue_.push_back({cursor, byte});
        }
    }
    lineFreeUs_ = cursor;
}

QByteArray ReplyScheduler::TakeDue(int64_t nowUs)
{
    QByteArray due;
    while (!queue_.empty() && queue_.front().DueUs <= nowUs) {
        due.append(queue_.front().Byte);
        queue_.pop_front();
    }
    return due;
}

std::optional<int64_t> ReplyScheduler::NextDueUs() const
{
    if (queue_.empty()) {
        return std::nullopt;
    }
    return queue_.front().DueUs;
}

void ReplyScheduler::Clear()
{
    queue_.clear();
    lineFreeUs_ = 0;
}
