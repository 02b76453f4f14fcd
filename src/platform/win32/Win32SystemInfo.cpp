#include "platform/win32/Win32SystemInfo.h"

#include <windows.h>

// The kernel's version query, which no SDK header of user mode declares.
// Unlike GetVersionExW it reports the real version, whatever the program's
// manifest claims to support.
extern "C" LONG WINAPI RtlGetVersion(OSVERSIONINFOW* version);

namespace monitor::win32 {

WindowsVersion Win32SystemInfo::Version() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  RtlGetVersion(&version);  // cannot fail with this record
  return {version.dwPlatformId == VER_PLATFORM_WIN32_NT, version.dwMajorVersion};
}

}  // namespace monitor::win32
