// A reader for INI text: "[Section]" lines and "key=value" lines. Section
// and key names are compared without regard to case, values are trimmed
// (and lose one pair of surrounding quotes), a key given twice keeps its
// later value in the place of its first, and lines starting with ";" or
// "#" are comments.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace monitor {

class IniFile {
 public:
  using Entry = std::pair<std::u16string, std::u16string>;  // key, value

  IniFile() = default;
  // Text as UTF-16LE with its byte-order mark, or UTF-8 with or without one
  // (bytes that are not UTF-8 are taken as Latin-1).
  static IniFile Parse(std::span<const std::uint8_t> bytes);
  static IniFile Parse(std::u16string_view text);

  [[nodiscard]] std::optional<std::u16string> Value(std::u16string_view section,
                                                    std::u16string_view key) const;
  // The section's keys in file order with their values.
  [[nodiscard]] std::vector<Entry> Entries(std::u16string_view section) const;

 private:
  struct Section {
    std::u16string name;
    std::vector<Entry> entries;
  };
  [[nodiscard]] const Section* Find(std::u16string_view section) const;

  std::vector<Section> sections_;
};

}  // namespace monitor
