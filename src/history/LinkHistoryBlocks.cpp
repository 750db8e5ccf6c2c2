#include "history/LinkHistoryBlocks.h"

#include "link/LoggerLink.h"

bool LinkHistoryBlocks::readHistoryBlock(int k, QByteArray& block)
{
    QByteArray request(2, char(0x0D));
    request[1] = char(k);
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
