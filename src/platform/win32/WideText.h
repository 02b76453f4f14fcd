// UTF-16 text of the portable code to and from the Windows wide-character API.
#pragma once

#include <string>
#include <string_view>

namespace monitor::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

inline std::wstring ToWide(std::u16string_view text) { return {text.begin(), text.end()}; }

inline std::u16string FromWide(std::wstring_view text) { return {text.begin(), text.end()}; }

}  // namespace monitor::win32
