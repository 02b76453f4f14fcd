// The shell port on the Windows shell and message boxes.
#pragma once

#include "platform/Shell.h"

namespace monitor::win32 {

class Win32Shell final : public Shell {
 public:
  bool Launch(std::u16string_view program, std::u16string_view workingFolder) override;
  void ShowError(std::u16string_view text, std::u16string_view caption) override;
};

}  // namespace monitor::win32
