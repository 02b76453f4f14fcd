// The system's language settings.
#pragma once

#include <cstdint>

namespace monitor {

class Locale {
 public:
  virtual ~Locale() = default;

  // The system default language identifier (0x0804 Simplified Chinese,
  // 0x0404 Traditional Chinese, 0x0409 US English, ...).
  virtual std::uint16_t SystemDefaultLanguageId() = 0;
};

}  // namespace monitor
