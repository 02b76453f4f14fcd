// ".macro" files: one macro each, exactly its 892-byte record.
#include <algorithm>
#include <stdexcept>
#include <string>

#include "macros/MacroModel.h"
#include "platform/FileSystem.h"
#include "platform/PlatformError.h"
#include "platform/Utf8.h"
#include "profiles/CodeTables.h"
#include "profiles/FixedText.h"
#include "profiles/PathText.h"
#include "profiles/RecordImage.h"
#include "profiles/TextCase.h"

namespace monitor {
namespace {

constexpr std::uint32_t kErrorCannotMake = 82;    // ERROR_CANNOT_MAKE
constexpr std::uint32_t kErrorInvalidName = 123;  // ERROR_INVALID_NAME

constexpr std::u16string_view kMacroFileExtension = u".macro";

// CON, PRN, AUX, NUL, COM1..COM9 and LPT1..LPT9 open devices, also with an
// extension behind them ("CON.x.macro").
bool IsReservedDeviceName(std::u16string_view name) {
  const std::u16string stem = AsciiUppercase(name.substr(0, name.find(u'.')));
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

}  // namespace

void TxaMacroClass::SaveMacroKeyInfoListToMacroFiles(FileSystem& files,
                                                     const TMACROKEYINFOLIST& macroKeyInfoList,
                                                     std::u16string_view macroPath) {
  if (macroPath.empty()) {
    throw std::out_of_range("the macro folder path is empty");
  }
  const int count = std::min<int>(macroKeyInfoList.nMacroInfoCount, kMacroLibraryCapacity);
  if (count == 0) {
    return;
  }
  const std::u16string folder = WithTrailingBackslash(macroPath);
  if (!files.FolderExists(folder) && !files.CreateFolder(folder) && !files.FolderExists(folder)) {
    throw PlatformError("cannot create the macro folder \"" + ToUtf8(folder) + "\"", kErrorCannotMake);
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
    failedNames.append(1, '"').append(ToUtf8(name)).append(1, '"');
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

void TxaMacroClass::LoadMacroFromFile(FileSystem& files, std::u16string_view macroFile,
                                      TMACROKEYINFO& result) {
  if (!files.FileExists(macroFile)) {
    return;
  }
  CopyImageInto(result, files.ReadWholeFile(macroFile));
}

bool TxaMacroClass::IsValidMacroVersion(const TMACROKEYINFO& macroKeyInfo) {
  return macroKeyInfo.Version == static_cast<std::uint32_t>(kRecordFormatVersion);
}

}  // namespace monitor
