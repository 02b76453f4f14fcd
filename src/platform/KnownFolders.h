// Folders the programs find by their role rather than by a fixed path.
#pragma once

#include <string>

namespace monitor {

class KnownFolders {
 public:
  virtual ~KnownFolders() = default;

  // The current user's documents folder, without trailing "\\"; empty when
  // the system cannot name one.
  virtual std::u16string DocumentsFolder() = 0;
  // The folder of the running executable, with its trailing "\\".
  virtual std::u16string ExecutableFolder() = 0;
};

}  // namespace monitor
