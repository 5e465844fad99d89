#include "scan/ScanProtocol.h"

#include <algorithm>

namespace dz {

namespace {

void put16(uint8_t* at, int value)
{
    at[0] = static_cast<uint8_t>(value & 0xFF);
    at[1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

constexpr int kStatusLength = 4;
constexpr int kIndexBytes = 2;

}  // namespace

ScanRequest buildScanRequest(const ScanArea& area)
{
    ScanRequest r{};
    r[0] = scanRequest::kScan;
    put16(&r[1], area.X);
    put16(&r[3], area.Y);
    put16(&r[5], area.W);
    put16(&r[7], area.H);
    r[9] = 0;
    return r;
}

int columnRecordLength(int height)
{
    return (std::max(height, 0) + kIndexBytes + 3) / 4 * 4;
}

ScanRecord readScanRecord(const uint8_t* payload, int count, int expectedLength, int width, int rows)
{
    ScanRecord r;
    if (count == kStatusLength) {
        r.kind = ScanRecord::Kind::Status;
        r.status = payload[0];
        return r;
    }
    if (count != expectedLength || count < kIndexBytes) {
        return r;
    }
    r.index = payload[0] | (payload[1] << 8);
    if (r.index >= width) {
        return r;
    }
    r.kind = ScanRecord::Kind::Column;
    r.last = r.index + 1 >= width;
    r.pixels = payload + kIndexBytes;
    r.rows = std::clamp(rows, 0, count - kIndexBytes);
    return r;
}

}  // namespace dz
