#include "SyncJob.h"

namespace dzsim {

std::size_t SyncJob::requestLength(uint8_t code) const
{
    return code == 0x55 || code == 0x12 ? 1 : 0;
}

void SyncJob::handle(const Bytes& request, Replies& replies)
{
    if (request[0] == 0x55) {
        replies.frame({imageAnswer, 0, 0, 0});
    } else {
        replies.frame(version);
    }
}

}  // namespace dzsim
