// ".macro" files: one macro each, exactly its 892-byte record.
#include <algorithm>
#include <stdexcept>
#include <string>

#include "macros/MacroModel.h"
#include "platform/FileSystem.h"
#include "platform/PlatformError.h"
#include "profiles/CodeTables.h"
#include "profiles/FixedText.h"
#include "profiles/RecordImage.h"

namespace monitor {
namespace {

constexpr std::uint32_t kErrorCannotMake = 82;     // ERROR_CANNOT_MAKE
constexpr std::uint32_t kErrorInvalidName = 123;  // ERROR_INVALID_NAME

constexpr std::u16string_view kMacroFileExtension = u".macro";

char16_t AsciiUpper(char16_t unit) {
  return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - u'a' + u'A') : unit;
}

// CON, PRN, AUX, NUL, COM1..COM9 and LPT1..LPT9 open devices, also with an
// extension behind them ("CON.x.macro").
bool IsReservedDeviceName(std::u16string_view name) {
  std::u16string stem(name.substr(0, name.find(u'.')));
  std::transform(stem.begin(), stem.end(), stem.begin(), AsciiUpper);
  if (stem == u"CON" || stem == u"PRN" || stem == u"AUX" || stem == u"NUL") {
    return true;
  }
  return stem.size() == 4 && (stem.starts_with(u"COM") || stem.starts_with(u"LPT")) && stem[3] >= u'1' &&
         stem[3] <= u'9';
}

bool IsValidFileName(std::u16string_view name) {
  constexpr std::u16string_view kForbidden = u"\\/:*?\"<>|";
  const bool hasForbiddenUnit = std::any_of(name.begin(), name.end(), [&](char16_t unit) {
    return unit < 32 || kForbidden.find(unit) != std::u16string_view::npos;
  });
  return !hasForbiddenUnit && !IsReservedDeviceName(name);
}

// For error messages, which are narrow text.
std::string Utf8(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t point = text[i];
    const bool pairFollows = point >= 0xD800 && point <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                             text[i + 1] <= 0xDFFF;
    if (pairFollows) {
      point = 0x10000 + ((point - 0xD800) << 10) + (text[++i] - 0xDC00u);
    } else if (point >= 0xD800 && point <= 0xDFFF) {
      point = 0xFFFD;  // a lone surrogate
    }
    const auto byte = [&out](char32_t value) { out.push_back(static_cast<char>(value)); };
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

}  // namespace

void TxaMacroClass::SaveMacroKeyInfoListToMacroFiles(FileSystem& files, const TMACROKEYINFOLIST& macroKeyInfoList,
                                                     std::u16string_view macroPath) {
  if (macroPath.empty()) {
    throw std::out_of_range("the macro folder path is empty");
  }
  const int count = std::min<int>(macroKeyInfoList.nMacroInfoCount, kMacroLibraryCapacity);
  if (count == 0) {
    return;
  }
  std::u16string folder(macroPath);
  if (!folder.ends_with(u'\\')) {
    folder += u'\\';
  }
  if (!files.FolderExists(folder) && !files.CreateFolder(folder) && !files.FolderExists(folder)) {
    throw PlatformError("cannot create the macro folder \"" + Utf8(folder) + "\"", kErrorCannotMake);
  }

  // One bad name or failed write costs that macro only; the rest are still written.
  std::string failedNames;
  std::uint32_t firstErrorCode = 0;
  const auto fail = [&](const std::u16string& name, std::uint32_t code) {
    if (failedNames.empty()) {
      firstErrorCode = code;
    } else {
      failedNames += ", ";
    }
    failedNames.append(1, '"').append(Utf8(name)).append(1, '"');
  };
  for (int index = 0; index < count; ++index) {
    const TMACROKEYINFO& macro = macroKeyInfoList.MacroInfos[index];
    const std::u16string name = ReadFixedText(macro.szMacroName);
    if (!IsValidFileName(name)) {
      fail(name, kErrorInvalidName);
      continue;
    }
    try {
      files.WriteWholeFile(folder + name + std::u16string(kMacroFileExtension), RecordBytes(macro));
    } catch (const PlatformError& error) {
      fail(name, error.Code());
    }
  }
  if (!failedNames.empty()) {
    throw PlatformError("cannot save the macro files of " + failedNames, firstErrorCode);
  }
}

void TxaMacroClass::LoadMacroFromFile(FileSystem& files, std::u16string_view macroFile, TMACROKEYINFO& result) {
  if (!files.FileExists(macroFile)) {
    return;
  }
  CopyImageInto(result, files.ReadWholeFile(macroFile));
}

bool TxaMacroClass::IsValidMacroVersion(const TMACROKEYINFO& macroKeyInfo) {
  return macroKeyInfo.Version == static_cast<std::uint32_t>(kRecordFormatVersion);
}

}  // namespace monitor
