#pragma once
// Walks the records of one payload. Every record starts with a 4-byte header whose
// first byte is its code; the code fixes the record's length:
//
//   code   length          effect
//   0      4               reply code 0 (acknowledged)
//   2      4               none
//   16     rest            memory-slot block
//   18     8               version record: 12 05 00 00 54 00 07 01 -> "LAN V05; KAV0054 V107"
//   85     4               reply code 85 (pocket software runs / busy)
//   90     4               reply code 90 (factory image runs / start accepted)
//   192    8               none
//   other  rest            ends the exchange

#include <cstdint>
#include <string>

namespace dz {

namespace record {
constexpr uint8_t kAck = 0;
constexpr uint8_t kSkip4 = 2;
constexpr uint8_t kSlotBlock = 16;
constexpr uint8_t kVersion = 18;
constexpr uint8_t kPocket = 85;
constexpr uint8_t kFactory = 90;
constexpr uint8_t kSkip8 = 192;
}  // namespace record

class RecordSink {
public:
    virtual ~RecordSink() = default;
    virtual void replyCode(int code) = 0;                          // records 0, 85, 90
    virtual void versionText(const std::string& text) = 0;         // record 18
    virtual void slotBlock(const uint8_t* record, int count) = 0;  // record 16 and what follows it
    virtual void unknownRecord(int code) = 0;                      // ends the exchange
};

// Acts on the records of `payload` in order. An 8-byte record cut off by the end of
// the payload is not acted on, and nothing past `count` is read.
void walkRecords(const uint8_t* payload, int count, RecordSink& sink);

// "LAN V05; KAV0054 V107": LAN driver version (byte 1, at least 2 hex digits), device
// number (bytes 4-5, at least 4), device version (bytes 6-7, signed, at least 3; a
// negative one is printed as its 32-bit two's complement).
std::string versionText(const uint8_t record[8]);

}  // namespace dz
