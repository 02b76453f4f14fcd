#include "profiles/IniFile.h"

#include <algorithm>

#include "platform/Utf8.h"
#include "profiles/TextCase.h"

namespace monitor {
namespace {

std::u16string_view Trim(std::u16string_view text) {
  constexpr std::u16string_view kBlanks = u" \t\r\f\v";
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::u16string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::u16string_view Unquote(std::u16string_view value) {
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

std::u16string DecodeText(std::span<const std::uint8_t> bytes) {
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    std::u16string text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      text += static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
    }
    return text;
  }
  if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    bytes = bytes.subspan(3);
  }
  if (auto text = FromUtf8({reinterpret_cast<const char*>(bytes.data()), bytes.size()})) {
    return *text;
  }
  return {bytes.begin(), bytes.end()};  // Latin-1
}

}  // namespace

IniFile IniFile::Parse(std::span<const std::uint8_t> bytes) { return Parse(DecodeText(bytes)); }

IniFile IniFile::Parse(std::u16string_view text) {
  IniFile ini;
  Section* current = nullptr;
  while (!text.empty()) {
    const auto end = text.find(u'\n');
    const std::u16string_view line = Trim(text.substr(0, end));
    text = end == std::u16string_view::npos ? std::u16string_view() : text.substr(end + 1);

    if (line.empty() || line.front() == u';' || line.front() == u'#') {
      continue;
    }
    if (line.front() == u'[') {
      const auto close = line.find(u']');
      const std::u16string_view name =
          Trim(line.substr(1, close == std::u16string_view::npos ? line.npos : close - 1));
      // A section given twice continues the first.
      const auto found = std::find_if(ini.sections_.begin(), ini.sections_.end(),
                                      [&](const Section& s) { return EqualIgnoringCase(s.name, name); });
      current = found != ini.sections_.end() ? &*found
                                             : &ini.sections_.emplace_back(Section{std::u16string(name), {}});
      continue;
    }
    const auto equals = line.find(u'=');
    if (current == nullptr || equals == std::u16string_view::npos) {
      continue;
    }
    const std::u16string_view key = Trim(line.substr(0, equals));
    const std::u16string value(Unquote(Trim(line.substr(equals + 1))));
    auto existing = std::find_if(current->entries.begin(), current->entries.end(),
                                 [&](const Entry& entry) { return EqualIgnoringCase(entry.first, key); });
    if (existing != current->entries.end()) {
      existing->second = value;
    } else {
      current->entries.emplace_back(std::u16string(key), value);
    }
  }
  return ini;
}

const IniFile::Section* IniFile::Find(std::u16string_view section) const {
  const auto found = std::find_if(sections_.begin(), sections_.end(),
                                  [&](const Section& s) { return EqualIgnoringCase(s.name, section); });
  return found == sections_.end() ? nullptr : &*found;
}

std::optional<std::u16string> IniFile::Value(std::u16string_view section, std::u16string_view key) const {
  if (const Section* s = Find(section)) {
    for (const Entry& entry : s->entries) {
      if (EqualIgnoringCase(entry.first, key)) {
        return entry.second;
      }
    }
  }
  return std::nullopt;
}

std::vector<IniFile::Entry> IniFile::Entries(std::u16string_view section) const {
  const Section* s = Find(section);
  return s == nullptr ? std::vector<Entry>{} : s->entries;
}

}  // namespace monitor
