#include "history/HistoryDownload.h"

#include "history/HistoryRecords.h"

#include <algorithm>

HistoryDownload::HistoryDownload(HistoryBlockLink& link, HistoryRecords& records, int numAnalogChannels,
                                 int numDigitalChannels)
    : link_(link),
      records_(records),
      valueCount_(std::clamp(numAnalogChannels + numDigitalChannels, 0, 10)),
      recordSize_(4 + 2 * valueCount_),
      // Only whole records fit in a block (240 / 22 would round up to 11).
      recordsPerBlock_(BlockBytes / recordSize_)
{
}

int HistoryDownload::recordCount() const
{
    return records_.count();
}

// A request frame the logger never saw makes the following repeat request
// (k = 2) bring back the block stored last; timestamps never repeat across
// two whole blocks, so a byte-identical block is that repeat, not new data.
bool HistoryDownload::isRepeatOfLastBlock(int k, const QByteArray& block) const
{
    return k == 2 && !lastStoredBlock_.isEmpty() && block == lastStoredBlock_;
}

HistoryDownloadEnd HistoryDownload::run()
{
    records_.reset(valueCount_);
    lastStoredBlock_.clear();
    totalRetries_ = 0;
    bool first = true;
    int consecutiveFailures = 0;
    const auto stop = [this] { return stopRequested && stopRequested(); };

    for (;;) {
        // The first request is repeated as such until a block arrives: a
        // repeat request before any block would ask for nothing known.
        const int k = first ? 0 : (consecutiveFailures < 1 ? 1 : 2);
        QByteArray block;
        if (link_.readHistoryBlock(k, block) && !block.isEmpty()) {
            first = false;
            consecutiveFailures = 0;
            const int n = uint8_t(block[0]);
            if (n == 0) {
                return HistoryDownloadEnd::Complete;
            }
            if (n > recordsPerBlock_ || block.size() < 1 + n * recordSize_) {
                return HistoryDownloadEnd::Error;
            }
            block.truncate(1 + n * recordSize_);
            if (!isRepeatOfLastBlock(k, block)) {
                for (int r = 0; r < n; ++r) {
                    records_.appendRecord(block.constData() + 1 + r * recordSize_);
                    if (records_.isFull()) {
                        return HistoryDownloadEnd::BufferFull;
                    }
                }
                lastStoredBlock_ = block;
                if (onProgress) {
                    onProgress(records_.count());
                }
                if (n < recordsPerBlock_) {
                    return HistoryDownloadEnd::Complete;
                }
            }
        } else {
            ++consecutiveFailures;
            ++totalRetries_;
            if (consecutiveFailures > MaxConsecutiveFailures) {
                return HistoryDownloadEnd::Error;
            }
            if (onRetry) {
                onRetry(totalRetries_);
            }
            link_.pause(RetryPauseTicks);
        }
        if (stop()) {
            return HistoryDownloadEnd::Stopped;
        }
    }
}
