#pragma once

#include "history/HistoryDownload.h"

class LoggerLink;

// The history request over the logger link: 0D k sent once (no retries,
// the download repeats the block itself), then the 241-byte block. The line
// settles for twice the reply wait, and at least half a second: a reply
// that missed the wait can still come that much later on a slow line.
class LinkHistoryBlocks : public HistoryBlockLink {
public:
    static constexpr int BlockFrameBytes = 241;

    explicit LinkHistoryBlocks(LoggerLink& link) : link_(link) {}

    bool ReadHistoryBlock(int k, QByteArray& block) override;
    bool Settle() override;

private:
    LoggerLink& link_;
};
