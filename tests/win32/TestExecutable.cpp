#include "win32/TestExecutable.h"

#include <windows.h>

namespace monitor::win32 {

std::wstring TestExecutablePath() {
  std::wstring path(32768, L'\0');  // the longest path Windows knows
  auto length = static_cast<DWORD>(path.size());
  if (!QueryFullProcessImageNameW(GetCurrentProcess(), 0, path.data(), &length)) {
    return {};
  }
  path.resize(length);
  return path;
}

}  // namespace monitor::win32
