// Starting programs and telling the user.
#pragma once

#include <string_view>

namespace monitor {

class Shell {
 public:
  virtual ~Shell() = default;

  // Opens the program at its full path, shown normally, in the working
  // folder given. False when it could not be started.
  virtual bool Launch(std::u16string_view program, std::u16string_view workingFolder) = 0;
  // A modal error message box.
  virtual void ShowError(std::u16string_view text, std::u16string_view caption) = 0;
};

}  // namespace monitor
