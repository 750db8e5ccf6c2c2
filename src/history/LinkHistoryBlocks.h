#pragma once

#include "history/HistoryDownload.h"

class LoggerLink;

// The history request over the logger link: 0D k sent once (no retries,
// the download repeats the block itself), then the 241-byte block.
class LinkHistoryBlocks : public HistoryBlockLink {
public:
    static constexpr int BlockFrameBytes = 241;

    explicit LinkHistoryBlocks(LoggerLink& link) : link_(link) {}

    bool readHistoryBlock(int k, QByteArray& block) override;
    void pause(int ticks) override;

private:
    LoggerLink& link_;
};
