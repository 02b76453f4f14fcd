#include "profiles/PathText.h"

namespace monitor {

std::u16string FolderOfPath(std::u16string_view path) {
  const auto slash = path.rfind(u'\\');
  return slash == std::u16string_view::npos ? std::u16string() : std::u16string(path.substr(0, slash + 1));
}

std::u16string NameOfPath(std::u16string_view path) {
  const auto slash = path.rfind(u'\\');
  return std::u16string(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
}

std::u16string WithTrailingBackslash(std::u16string_view folder) {
  std::u16string result(folder);
  if (!result.ends_with(u'\\')) {
    result += u'\\';
  }
  return result;
}

}  // namespace monitor
