#pragma once

#include "history/HistoryDownload.h"

#include <QByteArray>
#include <deque>
#include <functional>
#include <utility>
#include <vector>

// Stands in for LinkHistoryBlocks (src/history), tested over the virtual logger in tst_gethistoryaction.
// A logger history of numbered 14-byte records (3 analog, 2 pulse): record i
// packs the time 7i + 1 and the value i, served by the block protocol with
// scripted faults on each request. A stale reply is the block answered
// before, arriving late in place of this answer, which comes after it.
class ScriptedHistoryLink : public HistoryBlockLink {
public:
    enum class Fault { None, RequestLost, ReplyLost, StaleReply, ClaimsOneMore };

    explicit ScriptedHistoryLink(int recordCount) : recordCount_(recordCount) {}

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
            const int n = std::min(17, recordCount_ - next_);
            current_ = QByteArray(241, '\0');
            current_[0] = char(n);
            for (int r = 0; r < n; ++r, ++next_) {
                char* record = current_.data() + 1 + r * 14;
                for (int b = 0; b < 4; ++b) {
                    record[b] = char((uint32_t(next_) * 7 + 1) >> (8 * b));
                }
                record[4] = char(next_ >> 8);
                record[5] = char(next_);
            }
        }
        if (fault == Fault::ReplyLost) {
            return false;
        }
        block = fault == Fault::StaleReply ? answered_ : current_;
        freshReplyComing_ = fault == Fault::StaleReply;
        answered_ = current_;
        if (fault == Fault::ClaimsOneMore) {
            block[0] = char(block[0] + 1);
        }
        return true;
    }
    bool Settle() override
    {
        return !std::exchange(freshReplyComing_, false);
    }

    std::deque<Fault> faults;
    // Runs at each request, as clicks run inside the link's waits.
    std::function<void(int requestNumber)> onRequest;
    std::vector<int> requests;

private:
    int recordCount_;
    int next_ = 0;
    QByteArray current_;
    QByteArray answered_; // the block of the last reply sent
    bool freshReplyComing_ = false;
};
