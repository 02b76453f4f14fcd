#include "profiles/BlobStore.h"

#include <algorithm>
#include <string>

#include "platform/PlatformError.h"
#include "platform/Utf8.h"
#include "profiles/PathText.h"

namespace monitor {
namespace {

constexpr std::uint32_t kErrorInvalidDataType = 1630;  // ERROR_UNSUPPORTED_TYPE

// Text and number values are not record bytes; every other type is read
// as raw bytes, as binary data is.
bool HoldsRecordBytes(RegistryValueType type) {
  return type != RegistryValueType::String && type != RegistryValueType::ExpandString &&
         type != RegistryValueType::Dword;
}

}  // namespace

TxaProfile::TxaProfile(Registry& registry, FileSystem& files) : registry_(registry), files_(files) {}

void TxaProfile::SetFilePath(std::u16string_view value) {
  if (value.empty() || value == FFilePath || !files_.FolderExists(value)) {
    return;
  }
  FFilePath = WithTrailingBackslash(value);
}

void TxaProfile::SetSize(std::int64_t value) {
  if (value == FSize) {
    return;
  }
  FSize = value;
  FMemoryStream.resize(static_cast<std::size_t>(std::max<std::int64_t>(value, 0)));
}

std::size_t TxaProfile::Write(std::span<const std::uint8_t> buffer) {
  if (FMemoryStream.size() < buffer.size()) {
    FMemoryStream.resize(buffer.size());
  }
  std::copy(buffer.begin(), buffer.end(), FMemoryStream.begin());
  FSize = static_cast<std::int64_t>(FMemoryStream.size());
  return buffer.size();
}

std::size_t TxaProfile::Read(std::span<std::uint8_t> buffer) const {
  const std::size_t count = std::min(buffer.size(), FMemoryStream.size());
  std::copy_n(FMemoryStream.begin(), count, buffer.begin());
  return count;
}

bool TxaProfile::Vetoed(const TxaProfileEvent& event) {
  bool bContinue = true;
  if (event) {
    event(FMemoryStream, bContinue);
  }
  return !bContinue;
}

bool TxaProfile::HasUsableRegistryPlace() const {
  const bool knownRoot = FRootKey == static_cast<std::uint32_t>(RegistryRoot::CurrentUser) ||
                         FRootKey == static_cast<std::uint32_t>(RegistryRoot::LocalMachine);
  return knownRoot && !FKeyPath.empty() && !FFileName.empty();
}

bool TxaProfile::LoadStreamFromRegistry() {
  if (Vetoed(OnBeforeLoadFromRegistry) || !HasUsableRegistryPlace()) {
    return false;
  }
  // A key that cannot be opened is not an error for a load: nothing is read.
  if (const auto key =
          registry_.OpenKey(static_cast<RegistryRoot>(FRootKey), FKeyPath, KeyOpening::CreateIfMissing)) {
    auto value = key->QueryValue(FFileName);
    if (!value) {
      return false;
    }
    if (!HoldsRecordBytes(value->type)) {
      throw PlatformError("registry value " + ToUtf8(FFileName) + " does not hold binary data",
                          kErrorInvalidDataType);
    }
    // The stream takes exactly the stored size: shorter shrinks it, longer grows it.
    FMemoryStream = std::move(value->data);
  }
  if (OnAfterLoadFromRegistry) {
    OnAfterLoadFromRegistry(FMemoryStream);
  }
  return true;
}

bool TxaProfile::SaveStreamToRegistry() {
  if (Vetoed(OnBeforeSaveToRegistry) || !HasUsableRegistryPlace()) {
    return false;
  }
  const auto key =
      registry_.OpenKey(static_cast<RegistryRoot>(FRootKey), FKeyPath, KeyOpening::CreateIfMissing);
  if (!key) {
    return false;
  }
  key->SetValue(FFileName, {RegistryValueType::Binary, FMemoryStream});
  if (OnAfterSaveToRegistry) {
    OnAfterSaveToRegistry(FMemoryStream);
  }
  return true;
}

void TxaProfile::AddTrailingBackslashToFilePath() { FFilePath = WithTrailingBackslash(FFilePath); }

void TxaProfile::ReplaceStreamWithFile(std::u16string_view path) {
  FMemoryStream = files_.ReadWholeFile(path);
  if (OnAfterLoadFromFile) {
    OnAfterLoadFromFile(FMemoryStream);
  }
}

void TxaProfile::WriteStreamToFile(std::u16string_view path) {
  files_.WriteWholeFile(path, FMemoryStream);
  if (OnAfterSaveToFile) {
    OnAfterSaveToFile(FMemoryStream);
  }
}

bool TxaProfile::LoadStreamFromFile() {
  if (Vetoed(OnBeforeLoadFromFile) || FFilePath.empty()) {
    return false;
  }
  AddTrailingBackslashToFilePath();
  const std::u16string path = FFilePath + FFileName;
  if (!files_.FileExists(path)) {
    return false;
  }
  ReplaceStreamWithFile(path);
  return true;
}

bool TxaProfile::LoadStreamFromFile(std::u16string_view strFilewithpath) {
  if (!files_.FileExists(strFilewithpath) || Vetoed(OnBeforeLoadFromFile) ||
      !files_.FileExists(strFilewithpath)) {
    return false;
  }
  ReplaceStreamWithFile(strFilewithpath);
  return true;
}

bool TxaProfile::SaveStreamToFile() {
  if (Vetoed(OnBeforeSaveToFile) || FFilePath.empty()) {
    return false;
  }
  AddTrailingBackslashToFilePath();
  WriteStreamToFile(FFilePath + FFileName);
  return true;
}

bool TxaProfile::SaveStreamToFile(std::u16string_view strFileWithPath) {
  const std::u16string folder = FolderOfPath(strFileWithPath);
  if (!files_.FolderExists(folder) && !files_.CreateFolder(folder)) {
    return false;
  }
  if (Vetoed(OnBeforeSaveToFile)) {
    return false;
  }
  WriteStreamToFile(strFileWithPath);
  return true;
}

bool TxaProfile::PreSaveStreamToFile(std::u16string_view strFileWithPath) {
  const std::u16string folder = FolderOfPath(strFileWithPath);
  if (!files_.FolderExists(folder) && !files_.CreateFolder(folder)) {
    return false;
  }
  FFilePath = folder;
  FFileName = NameOfPath(strFileWithPath);
  return true;
}

void TxaProfile::RestoreToDefault() {
  if (OnRestoreToDefault) {
    OnRestoreToDefault(FMemoryStream);
  }
}

}  // namespace monitor
