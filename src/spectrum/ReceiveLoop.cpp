#include "spectrum/ReceiveLoop.h"

#include "link/DeviceLink.h"
#include "link/EventWait.h"

namespace dz {

namespace {

constexpr int kWaitMs = 1000;

}  // namespace

void ReceiveLoop::run(const std::function<bool()>& keepRunning)
{
    if (m_running || !m_link.linkUp()) {
        return;
    }
    // The loop reads the socket: it holds the link like any other operation, so it
    // never takes another one's answers, and nothing starts while it runs.
    const DeviceLink::Claim held = m_link.claim(LinkOperation::Listen);
    if (!held) {
        return;
    }
    m_running = true;
    const auto stop = [&] { return !keepRunning() || !m_link.linkUp(); };
    while (!stop()) {
        pumpOnce();
        if (stop()) {
            break;
        }
        // Whatever comes is read as it comes and dropped: the page shows nothing of it.
        const Reply chunk = m_link.receiveChunk(kWaitMs, stop);
        if (chunk.end == Reply::End::Closed) {
            break;
        }
    }
    m_running = false;
}

}  // namespace dz
