#include "contract/FileSystemContract.h"

#include <vector>

#include "platform/PlatformError.h"
#include "profiles/TextCase.h"

namespace monitor::contract {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Pattern(std::size_t size, std::uint8_t seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<std::uint8_t>(i * 13 + seed);
  }
  return bytes;
}

}  // namespace

void FileSystemContract::SetUp() {
  files_ = GetParam().make();
  const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  folder_ = GetParam().scratchFolder() + u"\\";
  for (const char c : test.substr(0, test.find('/'))) {
    folder_ += static_cast<char16_t>(c);
  }
  ASSERT_TRUE(files_->CreateFolder(folder_));
}

TEST_P(FileSystemContract, WrittenFilesReadBackWholeAndReplaceExactly) {
  const std::u16string path = folder_ + u"\\ZV3Profile1.pfd";
  EXPECT_FALSE(files_->FileExists(path));

  files_->WriteWholeFile(path, Pattern(109816, 1));
  EXPECT_TRUE(files_->FileExists(path));
  EXPECT_EQ(files_->ReadWholeFile(path), Pattern(109816, 1));

  // A shorter replacement leaves nothing of the old content behind.
  files_->WriteWholeFile(path, Pattern(892, 2));
  EXPECT_EQ(files_->ReadWholeFile(path), Pattern(892, 2));

  files_->WriteWholeFile(path, {});
  EXPECT_TRUE(files_->FileExists(path));
  EXPECT_EQ(files_->ReadWholeFile(path), Bytes{});
}

TEST_P(FileSystemContract, FilesAndFoldersAreToldApartAndIgnoreCase) {
  const std::u16string file = folder_ + u"\\Fire.macro";
  files_->WriteWholeFile(file, Pattern(3, 0));

  EXPECT_TRUE(files_->FolderExists(folder_));
  EXPECT_TRUE(files_->FolderExists(folder_ + u"\\"));
  EXPECT_FALSE(files_->FileExists(folder_));
  EXPECT_FALSE(files_->FolderExists(file));
  EXPECT_TRUE(files_->FileExists(AsciiUppercase(file)));
  EXPECT_EQ(files_->ReadWholeFile(AsciiUppercase(file)), Pattern(3, 0));
}

TEST_P(FileSystemContract, CreatesOneFolderLevelAtATime) {
  const std::u16string level1 = folder_ + u"\\QUORVAX Gaming Mouse 3";
  const std::u16string level2 = level1 + u"\\ZV3Profile1_Macros";

  EXPECT_FALSE(files_->CreateFolder(level2));  // its parent is missing
  EXPECT_FALSE(files_->FolderExists(level2));
  EXPECT_TRUE(files_->CreateFolder(level1));
  EXPECT_FALSE(files_->CreateFolder(level1));  // exists already
  EXPECT_TRUE(files_->CreateFolder(level2 + u"\\"));
  EXPECT_TRUE(files_->FolderExists(level2));
}

TEST_P(FileSystemContract, FailuresRaiseAndLeaveNothingBehind) {
  const std::u16string missingFolder = folder_ + u"\\Missing";
  EXPECT_THROW(files_->ReadWholeFile(folder_ + u"\\NoSuchFile.pfd"), PlatformError);
  EXPECT_THROW(files_->WriteWholeFile(missingFolder + u"\\X.pfd", Pattern(10, 0)), PlatformError);
  EXPECT_FALSE(files_->FolderExists(missingFolder));
  EXPECT_FALSE(files_->FileExists(missingFolder + u"\\X.pfd"));

  // A folder is never replaced by a file.
  const std::u16string sub = folder_ + u"\\Sub";
  ASSERT_TRUE(files_->CreateFolder(sub));
  EXPECT_THROW(files_->WriteWholeFile(sub, Pattern(10, 0)), PlatformError);
  EXPECT_TRUE(files_->FolderExists(sub));
}

}  // namespace monitor::contract
