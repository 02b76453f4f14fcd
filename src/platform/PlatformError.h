// A failure of an operating-system service, raised by the ports. The logic
// above the seam decides whether it is silent, a false result, or passed on.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace monitor {

class PlatformError : public std::runtime_error {
 public:
  PlatformError(const std::string& what, std::uint32_t code)
      : std::runtime_error(what + " (error " + std::to_string(code) + ")"), code_(code) {}

  // The system's error code (a Win32 error number on Windows).
  [[nodiscard]] std::uint32_t Code() const { return code_; }

 private:
  std::uint32_t code_;
};

}  // namespace monitor
