#pragma once

#include "history/HistoryDownload.h"

#include <QByteArray>
#include <deque>
#include <functional>
#include <utility>
#include <vector>

// Stands in for LinkHistoryBlocks (src/history), tested over the virtual logger in tst_gethistoryaction.
// A logger history of numbered 14-byte records (3 analog, 2 pulse) served
// by the block protocol, with scripted faults on each request. A stale reply
// is the block answered before, arriving late in place of this answer, which
// comes after it.
class ScriptedHistoryLink : public HistoryBlockLink {
public:
    enum class Fault { None, RequestLost, ReplyLost, StaleReply };

    explicit ScriptedHistoryLink(int recordCount, int recordSize = 14) : recordSize_(recordSize)
    {
        for (int i = 0; i < recordCount; ++i) {
            QByteArray record(recordSize, '\0');
            const uint32_t time = uint32_t(i) * 7 + 1;
            for (int b = 0; b < 4; ++b) {
                record[b] = char(time >> (8 * b));
            }
            record[4] = char(i >> 8);
            record[5] = char(i);
            records_.push_back(record);
        }
    }

    bool ReadHistoryBlock(int k, QByteArray& block) override
    {
        requests.push_back(k);
        if (onRequest) {
            onRequest(int(requests.size()));
        }
        const Fault fault = faults.empty() ? Fault::None : faults.front();
        if (!faults.empty()) {
            faults.pop_front();
        }
        if (fault == Fault::RequestLost) {
            return false;
        }
        if (k == 0) {
            next_ = 0;
        }
        if (k != 2) {
            blockStart_ = next_;
            const int perBlock = 240 / recordSize_;
            const int n = std::min<int>(perBlock, int(records_.size()) - blockStart_);
            current_ = QByteArray(241, '\0');
            current_[0] = char(n);
            for (int r = 0; r < n; ++r) {
                current_.replace(1 + r * recordSize_, recordSize_, records_[size_t(blockStart_ + r)]);
            }
            next_ = blockStart_ + n;
        }
        if (fault == Fault::ReplyLost) {
            return false;
        }
        if (fault == Fault::StaleReply) {
            freshReplyComing_ = true;
            block = answered_;
            answered_ = current_;
            return true;
        }
        answered_ = current_;
        block = claimedCount >= 0 ? QByteArray(1, char(claimedCount)) + current_.mid(1) : current_;
        return true;
    }
    bool Settle() override
    {
        ++settles;
        return !std::exchange(freshReplyComing_, false);
    }

    std::deque<Fault> faults;
    // Runs at each request, as clicks run inside the link's waits.
    std::function<void(int requestNumber)> onRequest;
    std::vector<int> requests;
    int settles = 0;
    int claimedCount = -1;

private:
    int recordSize_;
    std::vector<QByteArray> records_;
    int next_ = 0;
    int blockStart_ = 0;
    QByteArray current_;
    QByteArray answered_; // the block of the last reply sent
    bool freshReplyComing_ = false;
};
