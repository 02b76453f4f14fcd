// UTF-8, the text of error messages and of most INI files, to and from the
// UTF-16 the programs work in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace monitor {

// Lone surrogates become U+FFFD.
std::string ToUtf8(std::u16string_view text);
// Strict: nullopt when the bytes are not well-formed UTF-8.
std::optional<std::u16string> FromUtf8(std::string_view bytes);

}  // namespace monitor
