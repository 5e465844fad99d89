#pragma once
// The display scan on the wire.
//
//   program:  08 <X:2> <Y:2> <W:2> <H:2> 00     scan the area X, Y, W × H
//   receiver: 08 00 00 00  00 ?? ?? ??          status record: 0 = go on, else the scan ends
//   program:  00                                acknowledgement: send the next column
//   receiver: <E+4> 00 00 00  <i:2> <H pixels> <padding to E>   column i, top row first
//   ...                                         one column per acknowledgement
//   program:  0A                                cancel
//
// E is H + 2 rounded up to a multiple of 4. All fields little-endian.

#include <array>
#include <cstdint>

namespace dz {

struct ScanArea {
    int X = 0;
    int Y = 0;
    int W = 800;
    int H = 480;
};

namespace scanRequest {
constexpr uint8_t kScan = 8;
constexpr uint8_t kAck = 0x00;
constexpr uint8_t kCancel = 0x0A;
constexpr int kLength = 10;
}  // namespace scanRequest

using ScanRequest = std::array<uint8_t, scanRequest::kLength>;

// The request for `area`; each field carries the low 16 bits of its value.
ScanRequest buildScanRequest(const ScanArea& area);

// The payload length every column record of a scan of `height` rows has.
int columnRecordLength(int height);

// What one received payload is, read against the scan's current state.
struct ScanRecord {
    enum class Kind {
        Status,  // 4 bytes: `status` 0 goes on, anything else ends the scan
        Column,  // column `index`, with `rows` pixel bytes to paint from `pixels`
        Bad,     // wrong length or an index outside the area: the scan ends, nothing is painted
    };
    Kind kind = Kind::Bad;
    int status = 0;
    int index = 0;
    const uint8_t* pixels = nullptr;
    int rows = 0;
    bool last = false;  // the area's last column: the scan is complete
};

// `expectedLength` is the length fixed when the scan began; `width` and `rows` are
// the area's width now and the rows to paint, which the user may have changed
// since. Nothing past the record's own end is read.
ScanRecord readScanRecord(const uint8_t* payload, int count, int expectedLength, int width, int rows);

}  // namespace dz
