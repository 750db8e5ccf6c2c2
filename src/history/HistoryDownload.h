#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

class HistoryRecords;

// What the download needs of the link: one history request (0D k) with its
// 241-byte block, and a wait for a quiet line that keeps serving events.
class HistoryBlockLink {
public:
    virtual ~HistoryBlockLink() = default;
    // k: 0 first block, 1 next block, 2 repeat the last block. True when the
    // logger acknowledged and the block arrived complete and correct.
    virtual bool ReadHistoryBlock(int k, QByteArray& block) = 0;
    // Lets the line fall quiet for a while, throwing away what still comes
    // (late replies to earlier requests). True when nothing came.
    virtual bool Settle() = 0;
};

enum class HistoryDownloadEnd { Complete, Stopped, BufferFull, Error };

// Copies the logger's history memory into HistoryRecords block by block,
// retrying failed blocks. No windows: progress and the user's Stop come
// through the callbacks, which the progress window connects.
class HistoryDownload {
public:
    static constexpr int BlockBytes = 240;
    static constexpr int MaxConsecutiveFailures = 100;

    HistoryDownload(HistoryBlockLink& link, HistoryRecords& records, int numAnalogChannels,
                    int numDigitalChannels);

    int TotalRetries() const { return totalRetries_; }
    int RecordCount() const;

    // After each stored block: the record count.
    std::function<void(int count)> OnProgress;
    // After each failed or doubtful block: the total number of retries so far.
    std::function<void(int totalRetries)> OnRetry;
    // Asked after every block; true ends the download with Stopped.
    std::function<bool()> StopRequested;

    HistoryDownloadEnd Run();

private:
    bool RepeatsLastStoredBlock(const QByteArray& block) const;

    HistoryBlockLink& link_;
    HistoryRecords& records_;
    int valueCount_;
    int recordSize_;
    int recordsPerBlock_;
    int totalRetries_ = 0;
    QByteArray lastStoredBlock_;
};

// The warning after a complete download that brought another number of
// records than the logger reported; empty when the two agree.
QString HistoryCountMismatchWarning(int received, uint32_t reported);
