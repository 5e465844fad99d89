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
    m_running = true;
    Exchange& ex = m_link.exchange();
    const auto stop = [&] { return !keepRunning() || !m_link.linkUp(); };
    while (!stop()) {
        pumpOnce();
        if (stop()) {
            break;
        }
        if (!m_link.TCP_Client.connected()) {
            pumpUntil(stop, kWaitMs);
            continue;
        }
        if (!m_link.TCP_Client.waitForData(kWaitMs, stop)) {
            continue;
        }
        const int got = m_link.TCP_Client.receiveBuf(ex.RxBuffer.data(), Exchange::kRxUsed);
        if (got > 0) {
            m_link.postDeviceData(ex.RxBuffer.data(), got);
            pumpOnce();
        }
    }
    m_running = false;
}

}  // namespace dz
