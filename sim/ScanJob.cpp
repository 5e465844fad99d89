#include "ScanJob.h"

namespace dzsim {

namespace {

constexpr uint8_t kScan = 8;
constexpr uint8_t kAck = 0x00;
constexpr uint8_t kCancel = 0x0A;

int read16(const Bytes& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8);
}

}  // namespace

std::size_t ScanJob::requestLength(uint8_t code) const
{
    if (code == kScan) {
        return 10;
    }
    return code == kAck || code == kCancel ? 1 : 0;
}

Bytes ScanJob::column(int index, int carried) const
{
    const int e = (lastH + 2 + 3) / 4 * 4;
    Bytes payload(static_cast<std::size_t>(e), 0);
    payload[0] = static_cast<uint8_t>(carried & 0xFF);
    payload[1] = static_cast<uint8_t>((carried >> 8) & 0xFF);
    for (int r = 0; r < lastH; ++r) {
        const int x = lastX + index;
        const int y = lastY + r;
        payload[static_cast<std::size_t>(2 + r)] =
            x < ScanScreen::kWidth && y < ScanScreen::kHeight ? screen.at(x, y) : 0;
    }
    return payload;
}

void ScanJob::sendNext(Replies& replies)
{
    if (!active || m_sent >= lastW) {
        active = false;
        return;
    }
    int index = m_sent;
    if (outOfOrder) {
        index = m_sent ^ 1;
        if (index >= lastW) {
            index = m_sent;
        }
    }
    ++m_sent;
    if (m_sent >= lastW) {
        active = false;
    }
    if (index == silentColumn) {
        return;
    }
    Bytes payload = column(index, index == indexBeyondColumn ? lastW : index);
    if (index == wrongLengthColumn) {
        payload.push_back(0);
    }
    replies.frame(payload);
}

void ScanJob::handle(const Bytes& request, Replies& replies)
{
    switch (request[0]) {
        case kScan:
            ++scans;
            lastX = read16(request, 1);
            lastY = read16(request, 3);
            lastW = read16(request, 5);
            lastH = read16(request, 7);
            m_sent = 0;
            active = status == 0;
            if (startWithColumn && active) {
                sendNext(replies);
            } else {
                replies.frame({static_cast<uint8_t>(status), 0, 0, 0});
            }
            break;
        case kAck:
            ++acks;
            sendNext(replies);
            break;
        case kCancel:
            ++cancels;
            active = false;
            break;
        default:
            break;
    }
}

}  // namespace dzsim
