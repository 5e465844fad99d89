#pragma once
// Helpers for tests that talk to the simulated receiver over loopback.

#include <functional>

#include "link/LinkConfig.h"

namespace dztest {

// Intervals for tests: the receiver's values, scaled down.
dz::LinkConfig fastLinkConfig(const dz::Endpoint& device);
// A loopback port where nothing listens: connects are refused at once.
dz::Endpoint deadEndpoint();
// Listens on loopback but never accepts, with room for a single pending
// connection: a probe's connect takes it, so a second connect goes unanswered.
class FullListener {
public:
    FullListener();
    ~FullListener();
    FullListener(const FullListener&) = delete;
    FullListener& operator=(const FullListener&) = delete;
    dz::Endpoint endpoint() const { return dz::Endpoint{"127.0.0.1", m_port}; }

private:
    int m_fd = -1;
    uint16_t m_port = 0;
};

// Handles events until `done()` holds; false after `timeoutMs`.
bool waitFor(const std::function<bool()>& done, int timeoutMs = 5000);
// Handles events for `ms` milliseconds.
void settle(int ms);
// CPU time this process has used, in milliseconds.
double processCpuMs();

}  // namespace dztest
