// Injecting input into the system's input stream, as if from the devices.
#pragma once

#include <cstdint>

namespace monitor {

enum class MouseButton { Left, Right, Middle };

class InputInjector {
 public:
  virtual ~InputInjector() = default;

  // Each returns false when the system refused the event.
  virtual bool Key(std::uint8_t virtualKey, bool down, bool extended) = 0;
  virtual bool Button(MouseButton button, bool down) = 0;
  // One wheel turn; positive is away from the user.
  virtual bool Wheel(int delta) = 0;
};

}  // namespace monitor
