#include "platform/win32/Win32DebugOutput.h"

#include <windows.h>

#include <string>

#include "platform/win32/WideText.h"

namespace monitor::win32 {

void Win32DebugOutput::Write(std::u16string_view line) {
  // The copy ends the text with the null the view does not promise.
  const std::wstring text = ToWide(line);
  OutputDebugStringW(text.c_str());
}

}  // namespace monitor::win32
