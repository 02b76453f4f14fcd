// Lets a test's main loop handle messages while it waits for something to
// happen, or to show that nothing more happens.
#pragma once

#include <chrono>
#include <functional>

#include "platform/MainLoop.h"

namespace monitor::win32 {

// Guards against a hang; not a speed requirement.
inline constexpr std::chrono::milliseconds kPumpLimit{30000};

// Handles messages until done() holds; false when the limit passed first.
bool PumpUntil(MainLoop& loop, const std::function<bool()>& done,
               std::chrono::milliseconds limit = kPumpLimit);

// Handles messages for the whole duration.
void PumpFor(MainLoop& loop, std::chrono::milliseconds duration);

}  // namespace monitor::win32
