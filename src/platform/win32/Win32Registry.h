// The registry port on the Windows registry API.
#pragma once

#include "platform/Registry.h"

namespace monitor::win32 {

class Win32Registry final : public Registry {
 public:
  std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, std::u16string_view path,
                                       KeyOpening opening) override;
};

}  // namespace monitor::win32
