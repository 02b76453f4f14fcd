// The known folders port on the shell and module APIs.
#pragma once

#include "platform/KnownFolders.h"

namespace monitor::win32 {

class Win32KnownFolders final : public KnownFolders {
 public:
  std::u16string DocumentsFolder() override;
  std::u16string ExecutableFolder() override;
};

}  // namespace monitor::win32
