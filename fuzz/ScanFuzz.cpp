// The scan's column records: every received payload read against the scan's
// state, and painted into a picture of the program's size, with the area
// changed between records as a user may do while a scan runs.
//
// Input: 4 bytes of the height the scan began with and the first width, then
// records, each a 2-byte little-endian length and that many bytes. A length with
// its top bit set changes the area instead: its low bits are the new width and the
// next two bytes the new height.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "scan/ScanPixels.h"
#include "scan/ScanProtocol.h"

namespace {

constexpr int kWidth = 810;
constexpr int kHeight = 490;
constexpr int kLine = 2432;  // rows padded to 4 bytes, as the image's are

int read16(const uint8_t* p)
{
    return p[0] | (p[1] << 8);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size < 4) {
        return 0;
    }
    static std::vector<uint8_t> bits(static_cast<std::size_t>(kLine) * kHeight);
    const dz::PixelRows picture{bits.data(), kWidth, kHeight, kLine};
    const int startHeight = read16(data) % 481;
    int width = read16(data + 2) % 801;
    int height = startHeight;
    const int expected = dz::columnRecordLength(startHeight);
    std::size_t at = 4;
    while (at + 2 <= size) {
        const int length = read16(data + at);
        at += 2;
        if (length & 0x8000) {
            width = (length & 0x7FFF) % 801;
            if (at + 2 <= size) {
                height = read16(data + at) % 481;
                at += 2;
            }
            continue;
        }
        const std::size_t n =
            static_cast<std::size_t>(length) < size - at ? static_cast<std::size_t>(length) : size - at;
        // A copy of exactly the payload's length: ASan sees any read past it.
        const std::vector<uint8_t> payload(data + at, data + at + n);
        at += n;
        const int rows = height < startHeight ? height : startHeight;
        const dz::ScanRecord r = dz::readScanRecord(payload.data(), static_cast<int>(n), expected, width, rows);
        if (r.kind != dz::ScanRecord::Kind::Column) {
            continue;
        }
        if (r.index >= width || r.rows < 0 || r.rows > rows || r.pixels < payload.data() ||
            r.pixels + r.rows > payload.data() + payload.size()) {
            __builtin_trap();
        }
        dz::paintColumn(picture, r.index + 5, 5, r.pixels, r.rows);
    }
    return 0;
}
