#include "link/RecordWalk.h"

#include <cstdio>

namespace dz {

void walkRecords(const uint8_t* payload, int count, RecordSink& sink)
{
    const uint8_t* p = payload;
    int n = count;
    while (n > 0) {
        if (n < 4) {
            return;  // a header cut short carries no code worth acting on
        }
        const uint8_t code = p[0];
        switch (code) {
            case record::kAck:
            case record::kPocket:
            case record::kFactory:
                sink.replyCode(code);
                p += 4;
                n -= 4;
                break;
            case record::kSkip4:
                p += 4;
                n -= 4;
                break;
            case record::kVersion:
                if (n < 8) {
                    return;
                }
                sink.versionText(versionText(p));
                p += 8;
                n -= 8;
                break;
            case record::kSkip8:
                if (n < 8) {
                    return;
                }
                p += 8;
                n -= 8;
                break;
            case record::kSlotBlock:
                sink.slotBlock(p, n);
                return;
            default:
                sink.unknownRecord(code);
                return;
        }
    }
}

std::string versionText(const uint8_t record[8])
{
    const unsigned lan = record[1];
    const unsigned device = record[4] | (record[5] << 8);
    const auto version = static_cast<int16_t>(record[6] | (record[7] << 8));
    char text[48];
    std::snprintf(text, sizeof text, "LAN V%02X; KAV%04X V%03X", lan, device,
                  static_cast<uint32_t>(static_cast<int32_t>(version)));
    return text;
}

}  // namespace dz
