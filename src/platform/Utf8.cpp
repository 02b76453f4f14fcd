#include "platform/Utf8.h"

#include <cstdint>

namespace monitor {

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  const auto byte = [&out](char32_t value) { out.push_back(static_cast<char>(value)); };
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t point = text[i];
    const bool pairFollows = point >= 0xD800 && point <= 0xDBFF && i + 1 < text.size() &&
                             text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    if (pairFollows) {
      point = 0x10000 + ((point - 0xD800) << 10) + (text[++i] - 0xDC00u);
    } else if (point >= 0xD800 && point <= 0xDFFF) {
      point = 0xFFFD;  // a lone surrogate
    }
    if (point < 0x80) {
      byte(point);
    } else if (point < 0x800) {
      byte(0xC0 | point >> 6);
      byte(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
      byte(0xE0 | point >> 12);
      byte(0x80 | (point >> 6 & 0x3F));
      byte(0x80 | (point & 0x3F));
    } else {
      byte(0xF0 | point >> 18);
      byte(0x80 | (point >> 12 & 0x3F));
      byte(0x80 | (point >> 6 & 0x3F));
      byte(0x80 | (point & 0x3F));
    }
  }
  return out;
}

std::optional<std::u16string> FromUtf8(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<std::uint8_t>(bytes[i]);
    int length = 0;
    char32_t code = 0;
    if (lead < 0x80) {
      length = 1;
      code = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2;
      code = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      code = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      code = lead & 0x07u;
    } else {
      return std::nullopt;
    }
    if (i + static_cast<std::size_t>(length) > bytes.size()) {
      return std::nullopt;
    }
    for (int k = 1; k < length; ++k) {
      const auto next = static_cast<std::uint8_t>(bytes[i + static_cast<std::size_t>(k)]);
      if ((next & 0xC0) != 0x80) {
        return std::nullopt;
      }
      code = code << 6 | (next & 0x3Fu);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      return std::nullopt;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      text += static_cast<char16_t>(0xD800 + (code >> 10));
      text += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    } else {
      text += static_cast<char16_t>(code);
    }
    i += static_cast<std::size_t>(length);
  }
  return text;
}

}  // namespace monitor
