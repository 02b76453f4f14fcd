#include "platform/win32/Win32KnownFolders.h"

#include <windows.h>

#include <shlobj.h>

#include <string>

#include "platform/win32/WideText.h"

namespace monitor::win32 {

std::u16string Win32KnownFolders::DocumentsFolder() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path))) {
    return {};
  }
  std::wstring_view folder(path);
  if (!folder.empty() && folder.back() == L'\\') {
    folder.remove_suffix(1);
  }
  return FromWide(folder);
}

std::u16string Win32KnownFolders::ExecutableFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) {
      return {};
    }
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);  // truncated: a long path
  }
  const std::size_t lastSeparator = path.rfind(L'\\');
  if (lastSeparator == std::wstring::npos) {
    return {};
  }
  return FromWide(std::wstring_view(path).substr(0, lastSeparator + 1));
}

}  // namespace monitor::win32
