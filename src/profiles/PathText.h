// Windows paths as text: "C:\\Folder\\Name.ext".
#pragma once

#include <string>
#include <string_view>

namespace monitor {

// The folder part, up to and including the last "\\"; empty when there is none.
std::u16string FolderOfPath(std::u16string_view path);
// The name after the last "\\"; the whole path when there is none.
std::u16string NameOfPath(std::u16string_view path);
// The folder with one "\\" after it, unless it ends with one already.
std::u16string WithTrailingBackslash(std::u16string_view folder);

}  // namespace monitor
