// An in-memory file system with Windows path rules (checked by the same
// contract tests that run against the real one), plus failure switches.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>

#include "platform/FileSystem.h"

namespace monitor::fakes {

class FakeFileSystem final : public FileSystem {
 public:
  FakeFileSystem();  // holds the drive root "C:\\"

  bool FileExists(std::u16string_view path) override;
  bool FolderExists(std::u16string_view path) override;
  bool CreateFolder(std::u16string_view path) override;
  std::vector<std::uint8_t> ReadWholeFile(std::u16string_view path) override;
  void WriteWholeFile(std::u16string_view path, std::span<const std::uint8_t> bytes) override;

  // Test set-up and inspection.
  void AddFolder(std::u16string_view path);  // with every missing level above it
  void AddFile(std::u16string_view path, std::vector<std::uint8_t> bytes);
  std::optional<std::vector<std::uint8_t>> Contents(std::u16string_view path) const;
  void MakeUnreadable(std::u16string_view path);
  void MakeUnwritable(std::u16string_view path);  // a file or a whole folder
  [[nodiscard]] int WriteCount() const { return writeCount_; }

 private:
  std::set<std::u16string> folders_;                           // by key
  std::map<std::u16string, std::vector<std::uint8_t>> files_;  // by key
  std::set<std::u16string> unreadable_;
  std::set<std::u16string> unwritable_;
  int writeCount_ = 0;
};

}  // namespace monitor::fakes
