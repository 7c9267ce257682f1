// Runs the Qt event loop until a condition holds. The deadline only stops a
// broken test from hanging; passing tests never wait for it.
#pragma once

#include <functional>

namespace testsupport {

// Processes events until done() is true; false if the safety deadline passed first.
bool pumpUntil(const std::function<bool()>& done, int safetyMs = 10000);

// Work to run on every pass of the pump, such as a server's dispatch tick
// that a test drives by hand. An empty function removes it.
void setPumpHook(std::function<void()> hook);

// Processes the events that are pending now and those they post, without waiting.
void pumpPending();

} // namespace testsupport
