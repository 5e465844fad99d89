#pragma once
// Waiting without spinning. Operations that wait for the receiver keep handling
// the event queue (posted data, timers, user input) while they wait, and sleep
// in the event dispatcher between events.

#include <functional>

namespace dz {

// Handles the events that are pending now, without waiting for more.
void pumpOnce();

// Handles the pending events unless that was done less than a millisecond ago:
// for receive loops that go round thousands of times a second. The window still
// gets its events within a millisecond.
void pumpIfDue();

// Handles events as they come until `done()` holds or `timeoutMs` has passed
// (a negative timeout waits without limit). Returns done().
bool pumpUntil(const std::function<bool()>& done, int timeoutMs = -1);

}  // namespace dz
