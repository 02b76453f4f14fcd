// The translation table: a list of languages, each a list of
// "original=translation" lines, and the list of all original texts; with
// its binary layout, which the built-in table and "xa.local" files share.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace monitor {

struct TranslationLanguage {
  std::u16string code;                // "CH", "US", or a language identifier such as "0411"
  std::vector<std::u16string> lines;  // "original=translation", split at the first "="

  // The text after the "=" of the first line whose text before it is the
  // original, compared case-sensitively; nullopt when no line has it.
  [[nodiscard]] std::optional<std::u16string_view> TranslationOf(std::u16string_view original) const;
  // The other way round: the text before the "=" of the first line whose
  // translation is the text.
  [[nodiscard]] std::optional<std::u16string_view> OriginalOf(std::u16string_view translation) const;
};

struct TranslationTable {
  // The languages in the order they were added; the position is the
  // language's index. A code may occur twice: lookups find the first.
  std::vector<TranslationLanguage> Resources;
  // Every original text, kept for editing translations only.
  std::vector<std::u16string> Original;

  // Position of the language, its code compared without regard to case; -1
  // when absent.
  [[nodiscard]] int IndexOf(std::u16string_view code) const;

  // Reads a layout: the originals replace this table's, and the languages
  // are appended after the ones it has. A damaged layout (a negative
  // length, a length running past the end, bytes left over or missing) is
  // rejected whole: nothing of it is taken, the table keeps what it had, and
  // the result is false.
  bool ReadLayout(std::span<const std::uint8_t> bytes);
  // The originals, then every language in list order. Throws
  // std::length_error for a text longer than the layout's lengths can say.
  [[nodiscard]] std::vector<std::uint8_t> WriteLayout() const;
};

}  // namespace monitor
