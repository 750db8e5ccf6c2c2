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

int HistoryDownload::RecordCount() const
{
    return records_.Count();
}

// A block that starts with the records of the block stored last is that
// block once more: the logger's answer to a repeat request after the request
// for the next block was lost, or a late reply to an earlier request taken
// for the answer to this one. It is told by its records (time stamps and
// values), whatever was asked for. New data never starts so: its first record
// follows the stored block's last one, and even where the logger stamps ten
// records a second with one time, or its clock was set back between records,
// the new records would have to repeat the stored ones' time stamps and
// values one for one.
bool HistoryDownload::RepeatsLastStoredBlock(const QByteArray& block) const
{
    const qsizetype shared = std::min(block.size(), lastStoredBlock_.size()) - 1;
    return shared > 0 && std::equal(block.cbegin() + 1, block.cbegin() + 1 + shared, lastStoredBlock_.cbegin() + 1);
}

HistoryDownloadEnd HistoryDownload::Run()
{
    records_.Reset(valueCount_);
    lastStoredBlock_.clear();
    totalRetries_ = 0;
    int consecutiveFailures = 0;
    // 0 asks for the first block (again, until one arrives), 1 for the next
    // block, 2 for the block the logger sent last.
    int k = 0;
    // The line had fallen quiet before the request went out.
    bool settled = false;
    // Repeats of the block stored last that answered a repeat request on a
    // quiet line, with nothing after them, one after the other.
    int quietRepeats = 0;
    const auto stop = [this] { return StopRequested && StopRequested(); };
    // A failed or doubtful exchange; false when there were too many in a row.
    const auto countRetry = [&] {
        ++consecutiveFailures;
        ++totalRetries_;
        if (consecutiveFailures > MaxConsecutiveFailures) {
            return false;
        }
        if (OnRetry) {
            OnRetry(totalRetries_);
        }
        return true;
    };

    for (;;) {
        QByteArray block;
        const bool received = link_.ReadHistoryBlock(k, block) && !block.isEmpty();
        const bool askedRepeatOnQuietLine = settled && k == 2;
        settled = false;
        if (!received) {
            if (!countRetry()) {
                return HistoryDownloadEnd::Error;
            }
            // The reply may still come: let it pass, then ask for the block
            // the logger sent last.
            link_.Settle();
            settled = true;
            k = k == 0 ? 0 : 2;
        } else {
            const int n = uint8_t(block[0]);
            if (n == 0) {
                return HistoryDownloadEnd::Complete;
            }
            if (n > recordsPerBlock_ || block.size() < 1 + n * recordSize_) {
                return HistoryDownloadEnd::Error;
            }
            block.truncate(1 + n * recordSize_);
            if (RepeatsLastStoredBlock(block)) {
                // The logger's own repeat only when it answered a repeat
                // request on a quiet line and nothing came after it, twice
                // running: then the logger still stands on the block stored
                // last. Otherwise its answer may be on the way, later than
                // the line's quiet time: let it pass and ask again.
                const bool quietAfter = link_.Settle();
                settled = true;
                quietRepeats = askedRepeatOnQuietLine && quietAfter ? quietRepeats + 1 : 0;
                if (quietRepeats == 2) {
                    quietRepeats = 0;
                    k = 1;
                } else if (!countRetry()) {
                    return HistoryDownloadEnd::Error;
                } else {
                    k = 2;
                }
            } else {
                for (int r = 0; r < n; ++r) {
                    records_.AppendRecord(block.constData() + 1 + r * recordSize_);
                    if (records_.IsFull()) {
                        return HistoryDownloadEnd::BufferFull;
                    }
                }
                lastStoredBlock_ = block;
                consecutiveFailures = 0;
                quietRepeats = 0;
                k = 1;
                if (OnProgress) {
                    OnProgress(records_.Count());
                }
                if (n < recordsPerBlock_) {
                    return HistoryDownloadEnd::Complete;
                }
            }
        }
        if (stop()) {
            return HistoryDownloadEnd::Stopped;
        }
    }
}

QString HistoryCountMismatchWarning(int received, uint32_t reported)
{
    if (uint32_t(received) == reported) {
        return {};
    }
    return QStringLiteral("Warning: received %1 records, but the logger reported %2.\r\n"
                          "Records may be missing or repeated; get the history again to be sure.")
        .arg(received)
        .arg(reported);
}
