// Files and folders as the logic needs them. Paths are Windows paths
// ("C:\\Folder\\Name.pfd"); names are compared without regard to case.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace monitor {

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // True for an existing file, false for a folder or nothing.
  virtual bool FileExists(std::u16string_view path) = 0;
  // True for an existing folder; a trailing "\\" is allowed.
  virtual bool FolderExists(std::u16string_view path) = 0;
  // Creates the last level of the path; the folder above must exist.
  // False when it cannot be created, also when it exists already.
  virtual bool CreateFolder(std::u16string_view path) = 0;
  // The whole file. Throws PlatformError when it cannot be read.
  virtual std::vector<std::uint8_t> ReadWholeFile(std::u16string_view path) = 0;
  // Creates or replaces the file as one step: the new content is written
  // to a temporary file in the same folder and renamed over the target, so
  // that a failure at any point leaves the previous file as it was and no
  // partial file behind. Throws PlatformError on failure.
  virtual void WriteWholeFile(std::u16string_view path, std::span<const std::uint8_t> bytes) = 0;
};

}  // namespace monitor
