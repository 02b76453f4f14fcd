// TxaProfile: one stored record held as an in-memory byte stream, moved
// whole to and from a binary registry value or a file. It knows nothing of
// the record's layout.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Registry.h"

namespace monitor {

using ProfileStream = std::vector<std::uint8_t>;

// Fills the stream with factory values.
using TxaProfileOnRestoreToDefault = std::function<void(ProfileStream& AStream)>;
// May veto the operation by setting bContinue to false.
using TxaProfileEvent = std::function<void(ProfileStream& AStream, bool& bContinue)>;
// Told after the operation.
using TxaProfileEvent2 = std::function<void(const ProfileStream& AStream)>;

class TxaProfile {
 public:
  TxaProfile(Registry& registry, FileSystem& files);

  // ---- Properties ----
  // The registry root as its Windows handle value; only the current user's
  // and the machine's roots are accepted by the registry operations.
  [[nodiscard]] std::uint32_t RootKey() const { return FRootKey; }
  void SetRootKey(std::uint32_t value) { FRootKey = value; }
  void SetRootKey(RegistryRoot value) { FRootKey = static_cast<std::uint32_t>(value); }
  [[nodiscard]] const std::u16string& KeyPath() const { return FKeyPath; }
  void SetKeyPath(std::u16string_view value) { FKeyPath = value; }
  // The registry value name, and also the file name.
  [[nodiscard]] const std::u16string& FileName() const { return FFileName; }
  void SetFileName(std::u16string_view value) { FFileName = value; }
  // The file's folder, kept with a trailing "\\". Only an existing folder is
  // taken; anything else leaves the property as it was.
  [[nodiscard]] const std::u16string& FilePath() const { return FFilePath; }
  void SetFilePath(std::u16string_view value);
  // The stream size as of the last Write or SetSize, not the current size.
  [[nodiscard]] std::int64_t Size() const { return FSize; }
  void SetSize(std::int64_t value);

  TxaProfileOnRestoreToDefault OnRestoreToDefault;
  TxaProfileEvent OnBeforeSaveToRegistry;
  TxaProfileEvent OnBeforeSaveToFile;
  TxaProfileEvent OnBeforeLoadFromRegistry;
  TxaProfileEvent OnBeforeLoadFromFile;
  TxaProfileEvent2 OnAfterSaveToRegistry;
  TxaProfileEvent2 OnAfterSaveToFile;
  TxaProfileEvent2 OnAfterLoadFromRegistry;
  TxaProfileEvent2 OnAfterLoadFromFile;

  // ---- Operations ----
  // Copies the buffer over the start of the stream, growing it when needed;
  // the stream never shrinks here. Returns the bytes written.
  std::size_t Write(std::span<const std::uint8_t> buffer);
  // Copies min(buffer, stream) bytes; the rest of the buffer is untouched.
  std::size_t Read(std::span<std::uint8_t> buffer) const;

  // Loads return false, leaving the stream as it was, when there is nothing
  // to load or an event vetoed; platform errors propagate as PlatformError.
  bool LoadStreamFromRegistry();
  bool SaveStreamToRegistry();
  bool LoadStreamFromFile();
  bool LoadStreamFromFile(std::u16string_view strFilewithpath);
  bool SaveStreamToFile();
  bool SaveStreamToFile(std::u16string_view strFileWithPath);
  bool PreSaveStreamToFile(std::u16string_view strFileWithPath);
  void RestoreToDefault();

  [[nodiscard]] const ProfileStream& Stream() const { return FMemoryStream; }

 private:
  bool Vetoed(const TxaProfileEvent& event);
  bool HasUsableRegistryPlace() const;
  void AddTrailingBackslashToFilePath();
  void ReplaceStreamWithFile(std::u16string_view path);
  void WriteStreamToFile(std::u16string_view path);

  Registry& registry_;
  FileSystem& files_;
  ProfileStream FMemoryStream;
  std::uint32_t FRootKey = 0;
  std::u16string FKeyPath;
  std::u16string FFileName;
  std::u16string FFilePath;
  std::int64_t FSize = 0;
};

}  // namespace monitor
