#include "history/LinkHistoryBlocks.h"

#include "link/LoggerLink.h"

bool LinkHistoryBlocks::readHistoryBlock(int k, QByteArray& block)
{
    const QByteArray request{char(0x0D), char(k)};
    if (!link_.SendFrame(request, 0)) {
        return false;
    }
    QByteArray reply(BlockFrameBytes, '\0');
    if (!link_.ReceiveFrame(reply)) {
        return false;
    }
    block = reply;
    return true;
}

void LinkHistoryBlocks::pause(int ticks)
{
    link_.WaitForBytes(ticks, 0);
}
