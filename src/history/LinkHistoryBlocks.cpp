#include "history/LinkHistoryBlocks.h"

#include "link/CommandCodes.h"
#include "link/LoggerLink.h"

#include <algorithm>

bool LinkHistoryBlocks::ReadHistoryBlock(int k, QByteArray& block)
{
    QByteArray request(2, char(Command::HistoryBlock));
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

bool LinkHistoryBlocks::Settle()
{
    return link_.WaitForQuiet(std::max(5, 2 * int(link_.State().ReplyTicks)));
}
