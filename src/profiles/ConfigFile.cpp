#include "profiles/ConfigFile.h"

#include <limits>
#include <string>

#include "profiles/PathText.h"

namespace monitor {
namespace {

constexpr int kMaxIncludedDevices = 101;

int DigitValue(char16_t unit, int base) {
  int value = base;
  if (unit >= u'0' && unit <= u'9') {
    value = unit - u'0';
  } else if (unit >= u'a' && unit <= u'f') {
    value = unit - u'a' + 10;
  } else if (unit >= u'A' && unit <= u'F') {
    value = unit - u'A' + 10;
  }
  return value < base ? value : -1;
}

}  // namespace

IniFile ReadConfigFile(FileSystem& files, std::u16string_view folder) {
  const std::u16string path = WithTrailingBackslash(folder) + std::u16string(kConfigFileName);
  if (!files.FileExists(path)) {
    return {};
  }
  return IniFile::Parse(files.ReadWholeFile(path));
}

std::vector<std::u16string> ReadIncludeHidDeviceList(const IniFile& config) {
  std::vector<std::u16string> ids;
  for (int n = 1; n <= kMaxIncludedDevices; ++n) {
    const std::string key = "id" + std::to_string(n);
    const auto value = config.Value(u"IncludeHIDDeviceList", std::u16string(key.begin(), key.end()));
    if (!value || value->empty()) {
      break;
    }
    ids.push_back(*value);
  }
  return ids;
}

OtherSettings ReadOtherConfig(const IniFile& config) {
  OtherSettings settings;
  settings.config.Nologo = IntegerOr(config.Value(u"OtherConfig", u"NoLogo").value_or(u""), 0);
  for (auto& [name, value] : config.Entries(u"HelpFiles")) {
    if (!value.empty()) {
      settings.helpFiles.push_back({name, value});
    }
  }
  return settings;
}

std::int32_t IntegerOr(std::u16string_view text, std::int32_t fallback) {
  bool negative = false;
  if (!text.empty() && (text.front() == u'-' || text.front() == u'+')) {
    negative = text.front() == u'-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.starts_with(u"$")) {
    base = 16;
    text.remove_prefix(1);
  } else if (text.starts_with(u"0x") || text.starts_with(u"0X")) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) {
    return fallback;
  }
  std::int64_t value = 0;
  for (const char16_t unit : text) {
    const int digit = DigitValue(unit, base);
    if (digit < 0) {
      return fallback;
    }
    value = value * base + digit;
    if (value > std::int64_t{std::numeric_limits<std::uint32_t>::max()}) {
      return fallback;
    }
  }
  if (negative) {
    value = -value;
  }
  if (base == 16) {
    // Hexadecimal gives the 32-bit pattern, as "$FFFFFFFF" is -1.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
  }
  if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) {
    return fallback;
  }
  return static_cast<std::int32_t>(value);
}

}  // namespace monitor
