#include "profiles/FixedText.h"

#include <algorithm>

namespace monitor {
namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

}  // namespace

std::u16string ReadFixedText(std::span<const char16_t> array) {
  const auto end = std::find(array.begin(), array.end(), u'\0');
  return {array.begin(), end};
}

bool WriteFixedText(std::span<char16_t> array, std::u16string_view text, FixedTextEnd end) {
  if (array.empty()) {
    return text.empty();
  }
  const std::size_t room = end == FixedTextEnd::MayFill ? array.size() : array.size() - 1;
  std::size_t count = std::min(text.size(), room);
  if (count < text.size() && count > 0 && IsHighSurrogate(text[count - 1])) {
    --count;  // never leave half a character behind
  }
  std::copy_n(text.begin(), count, array.begin());
  if (count < array.size()) {
    array[count] = u'\0';
  }
  return count == text.size();
}

}  // namespace monitor
