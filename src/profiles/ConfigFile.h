// "config.ini" beside the executable: part of the installation, never
// written by the programs. A missing file, section or key gives defaults.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "profiles/IniFile.h"
#include "profiles/ProfileRecords.h"

namespace monitor {

inline constexpr std::u16string_view kConfigFileName = u"config.ini";

// The file in the given folder (which ends with "\\"); an empty file when
// there is none. Throws PlatformError when it exists but cannot be read.
IniFile ReadConfigFile(FileSystem& files, std::u16string_view folder);

// The hardware ids of the devices that count as the mouse: "id1", "id2", ...
// up to "id101" of "IncludeHIDDeviceList", ending at the first gap. Empty
// means every device counts.
std::vector<std::u16string> ReadIncludeHidDeviceList(const IniFile& config);

struct HelpFileEntry {
  std::u16string name;
  std::u16string value;

  friend bool operator==(const HelpFileEntry&, const HelpFileEntry&) = default;
};

struct OtherSettings {
  TOtherConfig config{};                 // Nologo from "OtherConfig"; the rest 0
  std::vector<HelpFileEntry> helpFiles;  // "HelpFiles" in file order, empty values left out
};

OtherSettings ReadOtherConfig(const IniFile& config);

// A whole decimal number (optionally signed) or a "$"/"0x" hexadecimal one
// that fits 32 bits; anything else gives the fallback.
std::int32_t IntegerOr(std::u16string_view text, std::int32_t fallback);

}  // namespace monitor
