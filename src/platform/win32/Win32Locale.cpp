#include "platform/win32/Win32Locale.h"

#include <windows.h>

namespace monitor::win32 {

std::uint16_t Win32Locale::SystemDefaultLanguageId() { return GetSystemDefaultLangID(); }

}  // namespace monitor::win32
