#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "contract/FileSystemContract.h"
#include "platform/PlatformError.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32FileSystem.h"
#include "win32/ScratchFolder.h"

namespace monitor::win32 {
namespace {

using Bytes = std::vector<std::uint8_t>;
using UniqueSearch = UniqueResource<HANDLE, &FindClose>;

const std::u16string& ScratchFolderText() {
  static const std::u16string folder = FromWide(ScratchFolder());
  return folder;
}

using contract::FileSystemContract;

INSTANTIATE_TEST_SUITE_P(Windows, FileSystemContract,
                         ::testing::Values(contract::FileSystemUnderTest{
                             "Win32", [] { return std::make_unique<Win32FileSystem>(); }, ScratchFolderText}),
                         contract::FileSystemName);

// The names in a folder, sorted, as the plain API lists them.
std::vector<std::wstring> ListFolder(const std::u16string& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  const HANDLE first = FindFirstFileW((ToWide(folder) + L"\\*").c_str(), &found);
  const UniqueSearch search(first == INVALID_HANDLE_VALUE ? nullptr : first);
  if (!search) {
    ADD_FAILURE() << "cannot list the folder, error " << GetLastError();
    return names;
  }
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") {
      names.push_back(name);
    }
  } while (FindNextFileW(search.get(), &found));
  std::sort(names.begin(), names.end());
  return names;
}

UniqueHandle Open(const std::u16string& path, DWORD access, DWORD sharing) {
  return OwnFileHandle(CreateFileW(ToWide(path).c_str(), access, sharing, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
}

class Win32FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = ScratchFolderText() + u"\\Win32-";
    for (const char c : std::string(::testing::UnitTest::GetInstance()->current_test_info()->name())) {
      folder_ += static_cast<char16_t>(c);
    }
    ASSERT_TRUE(files_.CreateFolder(folder_));
  }

  Win32FileSystem files_;
  std::u16string folder_;
};

TEST_F(Win32FileSystemTest, ReplacingLeavesOnlyTheTargetInItsFolder) {
  const std::u16string target = folder_ + u"\\ZV3Profile1.pfd";
  files_.WriteWholeFile(target, Bytes(892, 1));
  files_.WriteWholeFile(target, Bytes(10, 2));

  EXPECT_EQ(ListFolder(folder_), std::vector<std::wstring>{L"ZV3Profile1.pfd"});
  EXPECT_EQ(files_.ReadWholeFile(target), Bytes(10, 2));
}

// Another program reading the target without allowing it to be deleted
// blocks the rename. (Wine replaces a read-only target where Windows
// refuses, so that failure cannot be shown here.)
TEST_F(Win32FileSystemTest, BlockedReplaceRaisesTheSystemErrorAndKeepsThePreviousFile) {
  const std::u16string target = folder_ + u"\\ZV3Profile1.pfd";
  files_.WriteWholeFile(target, Bytes(892, 1));
  {
    const UniqueHandle reader = Open(target, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(reader);
    try {
      files_.WriteWholeFile(target, Bytes(10, 2));
      ADD_FAILURE() << "the replace succeeded";
    } catch (const PlatformError& error) {
      EXPECT_TRUE(error.Code() == ERROR_ACCESS_DENIED || error.Code() == ERROR_SHARING_VIOLATION)
          << error.what();
    }
  }
  EXPECT_EQ(files_.ReadWholeFile(target), Bytes(892, 1));
  EXPECT_EQ(ListFolder(folder_), std::vector<std::wstring>{L"ZV3Profile1.pfd"});
}

TEST_F(Win32FileSystemTest, ReplacingAFolderLeavesNoTemporaryFile) {
  ASSERT_TRUE(files_.CreateFolder(folder_ + u"\\Sub"));
  try {
    files_.WriteWholeFile(folder_ + u"\\Sub", Bytes(10, 2));
    ADD_FAILURE() << "a folder was replaced";
  } catch (const PlatformError& error) {
    EXPECT_EQ(error.Code(), static_cast<std::uint32_t>(ERROR_ACCESS_DENIED)) << error.what();
  }
  EXPECT_EQ(ListFolder(folder_), std::vector<std::wstring>{L"Sub"});
}

TEST_F(Win32FileSystemTest, ReadingSharesTheFileWithOtherReaders) {
  const std::u16string file = folder_ + u"\\ZV3Profile1.pfd";
  files_.WriteWholeFile(file, Bytes(892, 1));
  const UniqueHandle reader = Open(file, GENERIC_READ, FILE_SHARE_READ);
  ASSERT_TRUE(reader);
  EXPECT_EQ(files_.ReadWholeFile(file), Bytes(892, 1));
}

// A file another program writes to is not read half-written.
TEST_F(Win32FileSystemTest, FailedReadsRaiseTheSystemError) {
  const std::u16string file = folder_ + u"\\ZV3Profile1.pfd";
  files_.WriteWholeFile(file, Bytes(892, 1));

  struct Case {
    const char* what;
    std::u16string path;
    std::optional<DWORD> heldByAWriterSharing;
    DWORD error;
  };
  const Case cases[] = {
      {"missing file", folder_ + u"\\Missing.pfd", std::nullopt, ERROR_FILE_NOT_FOUND},
      {"missing folder", folder_ + u"\\Missing\\ZV3Profile1.pfd", std::nullopt, ERROR_PATH_NOT_FOUND},
      {"a folder", folder_, std::nullopt, ERROR_ACCESS_DENIED},
      {"held by a sharing writer", file, FILE_SHARE_READ | FILE_SHARE_WRITE, ERROR_SHARING_VIOLATION},
      {"held exclusively", file, 0, ERROR_SHARING_VIOLATION},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UniqueHandle writer;
    if (c.heldByAWriterSharing) {
      writer = Open(c.path, GENERIC_READ | GENERIC_WRITE, *c.heldByAWriterSharing);
      ASSERT_TRUE(writer);
    }
    try {
      files_.ReadWholeFile(c.path);
      ADD_FAILURE() << "the read succeeded";
    } catch (const PlatformError& error) {
      EXPECT_EQ(error.Code(), static_cast<std::uint32_t>(c.error)) << error.what();
    }
  }
}

}  // namespace
}  // namespace monitor::win32
