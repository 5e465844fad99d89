#pragma once
// The spectrum page's receive loop: while the page is current, whatever the link
// brings is read as it comes, a chunk at a time, and dropped; the loop only keeps
// the link drained.

#include <functional>

namespace dz {

class DeviceLink;

class ReceiveLoop {
public:
    explicit ReceiveLoop(DeviceLink& link) : m_link(link) {}

    // Runs while `keepRunning()` holds and the link is up. Waits sleep on the
    // socket and on events, so the window stays responsive. A second call while
    // the loop runs, or a call while another operation holds the link, returns at once.
    void run(const std::function<bool()>& keepRunning);
    bool running() const { return m_running; }

private:
    DeviceLink& m_link;
    bool m_running = false;
};

}  // namespace dz
