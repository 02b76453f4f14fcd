// The file system port on the Windows file API.
#pragma once

#include "platform/FileSystem.h"

namespace monitor::win32 {

class Win32FileSystem final : public FileSystem {
 public:
  bool FileExists(std::u16string_view path) override;
  bool FolderExists(std::u16string_view path) override;
  bool CreateFolder(std::u16string_view path) override;
  std::vector<std::uint8_t> ReadWholeFile(std::u16string_view path) override;
  void WriteWholeFile(std::u16string_view path, std::span<const std::uint8_t> bytes) override;
};

}  // namespace monitor::win32
