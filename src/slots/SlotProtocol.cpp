#include "slots/SlotProtocol.h"

#include <algorithm>

namespace dz {

SlotWriteRequest slotWriteRequest(int slot, const SlotRecord& record)
{
    SlotWriteRequest request = slotClearRequest(slot);
    std::copy(record.bytes.begin(), record.bytes.end(), request.begin() + 4);
    return request;
}

SlotWriteRequest slotClearRequest(int slot)
{
    SlotWriteRequest request{};
    request[0] = slotRequest::kWrite;
    request[1] = static_cast<uint8_t>(slot);
    return request;
}

std::optional<SlotBlock> parseSlotBlock(const uint8_t* payload, int count)
{
    if (count != SlotBlock::kWhole && count != SlotBlock::kShort) {
        return std::nullopt;
    }
    const auto number = static_cast<int32_t>(payload[4] | (payload[5] << 8) | (payload[6] << 16) |
                                             (static_cast<uint32_t>(payload[7]) << 24));
    if (number < 1 || number > slot::kCount) {
        return std::nullopt;
    }
    return SlotBlock{number, payload + SlotBlock::kHeader, count - SlotBlock::kHeader};
}

}  // namespace dz
