#include "platform/MultiString.h"

namespace monitor {

std::vector<std::u16string> SplitMultiString(std::u16string_view text) {
  std::vector<std::u16string> strings;
  while (!text.empty() && text.front() != u'\0') {
    const auto end = text.find(u'\0');
    strings.emplace_back(text.substr(0, end));
    text = end == std::u16string_view::npos ? std::u16string_view() : text.substr(end + 1);
  }
  return strings;
}

}  // namespace monitor
