// Text in the records' fixed UTF-16LE character arrays.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace monitor {

// Whether a text may fill the whole array, leaving no terminator.
enum class FixedTextEnd {
  MayFill,         // e.g. a 21-unit file name held in 21 units
  KeepTerminator,  // at most length - 1 units, always zero-terminated
};

// The text up to the first zero, or the whole array when it holds none.
std::u16string ReadFixedText(std::span<const char16_t> array);

// Writes the text followed by a zero when there is room for one. A text too
// long is cut to fit, never inside a surrogate pair, and nothing beyond the
// array is touched; units after the terminator keep their values. Returns
// false when the text had to be cut.
bool WriteFixedText(std::span<char16_t> array, std::u16string_view text,
                    FixedTextEnd end = FixedTextEnd::KeepTerminator);

}  // namespace monitor
