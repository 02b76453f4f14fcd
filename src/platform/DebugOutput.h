// Lines for a debugger: the programs' only trace of failures they survive.
#pragma once

#include <string_view>

namespace monitor {

class DebugOutput {
 public:
  virtual ~DebugOutput() = default;

  virtual void Write(std::u16string_view line) = 0;
};

}  // namespace monitor
