#include "fakes/FakeFileSystem.h"

#include "platform/PlatformError.h"

namespace monitor::fakes {
namespace {

constexpr std::uint32_t kFileNotFound = 2;
constexpr std::uint32_t kPathNotFound = 3;
constexpr std::uint32_t kAccessDenied = 5;
constexpr std::uint32_t kSharingViolation = 32;

// Case-folded, without trailing separators: "C:\\A\\" and "c:\\a" are one key.
std::u16string Key(std::u16string_view path) {
  std::u16string key(path);
  for (char16_t& unit : key) {
    if (unit >= u'A' && unit <= u'Z') {
      unit = static_cast<char16_t>(unit - u'A' + u'a');
    }
  }
  while (!key.empty() && key.back() == u'\\') {
    key.pop_back();
  }
  return key;
}

std::u16string ParentKey(const std::u16string& key) {
  const auto slash = key.rfind(u'\\');
  return slash == std::u16string::npos ? std::u16string() : key.substr(0, slash);
}

bool IsInside(const std::u16string& key, const std::u16string& folder) {
  return key == folder ||
         (key.size() > folder.size() && key.starts_with(folder) && key[folder.size()] == u'\\');
}

}  // namespace

FakeFileSystem::FakeFileSystem() { folders_.insert(u"c:"); }

bool FakeFileSystem::FileExists(std::u16string_view path) { return files_.contains(Key(path)); }

bool FakeFileSystem::FolderExists(std::u16string_view path) { return folders_.contains(Key(path)); }

bool FakeFileSystem::CreateFolder(std::u16string_view path) {
  const std::u16string key = Key(path);
  if (key.empty() || folders_.contains(key) || files_.contains(key) || !folders_.contains(ParentKey(key))) {
    return false;
  }
  for (const auto& locked : unwritable_) {
    if (IsInside(key, locked)) {
      return false;
    }
  }
  folders_.insert(key);
  return true;
}

std::vector<std::uint8_t> FakeFileSystem::ReadWholeFile(std::u16string_view path) {
  const std::u16string key = Key(path);
  const auto found = files_.find(key);
  if (found == files_.end()) {
    throw PlatformError("cannot open file", kFileNotFound);
  }
  if (unreadable_.contains(key)) {
    throw PlatformError("cannot read file", kSharingViolation);
  }
  return found->second;
}

void FakeFileSystem::WriteWholeFile(std::u16string_view path, std::span<const std::uint8_t> bytes) {
  const std::u16string key = Key(path);
  if (!folders_.contains(ParentKey(key))) {
    throw PlatformError("cannot create file", kPathNotFound);
  }
  if (folders_.contains(key)) {
    throw PlatformError("cannot create file", kAccessDenied);
  }
  for (const auto& locked : unwritable_) {
    if (IsInside(key, locked)) {
      throw PlatformError("cannot write file", kAccessDenied);
    }
  }
  files_[key].assign(bytes.begin(), bytes.end());
  ++writeCount_;
}

void FakeFileSystem::AddFolder(std::u16string_view path) {
  for (std::u16string key = Key(path); !key.empty(); key = ParentKey(key)) {
    folders_.insert(key);
  }
}

void FakeFileSystem::AddFile(std::u16string_view path, std::vector<std::uint8_t> bytes) {
  const std::u16string key = Key(path);
  AddFolder(ParentKey(key));
  files_[key] = std::move(bytes);
}

std::optional<std::vector<std::uint8_t>> FakeFileSystem::Contents(std::u16string_view path) const {
  const auto found = files_.find(Key(path));
  if (found == files_.end()) {
    return std::nullopt;
  }
  return found->second;
}

void FakeFileSystem::MakeUnreadable(std::u16string_view path) { unreadable_.insert(Key(path)); }

void FakeFileSystem::MakeUnwritable(std::u16string_view path) { unwritable_.insert(Key(path)); }

}  // namespace monitor::fakes
