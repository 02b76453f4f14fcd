#include <gtest/gtest.h>

#include "contract/FileSystemContract.h"
#include "fakes/FakeFileSystem.h"
#include "platform/PlatformError.h"

namespace monitor {
namespace {

using contract::FileSystemContract;

INSTANTIATE_TEST_SUITE_P(Fake, FileSystemContract,
                         ::testing::Values(contract::FileSystemUnderTest{
                             "InMemory",
                             [] {
                               auto files = std::make_unique<fakes::FakeFileSystem>();
                               files->AddFolder(u"C:\\Scratch");
                               return files;
                             },
                             [] { return std::u16string(u"C:\\Scratch"); }}),
                         contract::FileSystemName);

// The fake's failure switches, which unit tests of the logic rely on.
TEST(FakeFileSystem, UnreadableAndUnwritableFilesKeepTheirContent) {
  fakes::FakeFileSystem files;
  files.AddFile(u"C:\\Docs\\A.pfd", {1, 2, 3});
  files.MakeUnreadable(u"C:\\Docs\\A.pfd");
  EXPECT_THROW(files.ReadWholeFile(u"c:\\docs\\a.pfd"), PlatformError);

  files.MakeUnwritable(u"C:\\Docs");
  EXPECT_THROW(files.WriteWholeFile(u"C:\\Docs\\A.pfd", std::vector<std::uint8_t>{9}), PlatformError);
  EXPECT_FALSE(files.CreateFolder(u"C:\\Docs\\Sub"));
  EXPECT_EQ(files.Contents(u"C:\\Docs\\A.pfd"), (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(files.WriteCount(), 0);
}

}  // namespace
}  // namespace monitor
