#include "Job.h"

namespace dzsim {

Bytes makeFrame(const Bytes& payload)
{
    const std::size_t length = payload.size() + 4;
    Bytes frame;
    frame.reserve(length);
    frame.push_back(static_cast<uint8_t>(length & 0xFF));
    frame.push_back(static_cast<uint8_t>((length >> 8) & 0xFF));
    frame.push_back(0);
    frame.push_back(0);
    frame.insert(frame.end(), payload.begin(), payload.end());
    return frame;
}

void Replies::frame(const Bytes& payload, int delayMs)
{
    m_items.push_back({makeFrame(payload), delayMs});
}

}  // namespace dzsim
