#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "fakes/FakeFileSystem.h"
#include "macros/MacroModel.h"
#include "platform/PlatformError.h"
#include "profiles/FixedText.h"
#include "profiles/RecordImage.h"

namespace monitor {
namespace {

// A macro whose every byte is set, so a file shows whether the whole image
// (stale actions and padding included) was written.
TMACROKEYINFO FilledMacro(std::u16string_view name, std::uint8_t seed) {
  TMACROKEYINFO macro{};
  auto bytes = RecordBytes(macro);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
  }
  macro.MacroListCount = 3;
  std::fill(std::begin(macro.szMacroName), std::end(macro.szMacroName), u'\0');
  WriteFixedText(macro.szMacroName, name);
  return macro;
}

std::vector<std::uint8_t> ImageOf(const TMACROKEYINFO& macro) {
  const auto bytes = RecordBytes(macro);
  return {bytes.begin(), bytes.end()};
}

std::unique_ptr<TMACROKEYINFOLIST> Library(const std::vector<std::u16string>& names) {
  auto library = std::make_unique<TMACROKEYINFOLIST>();
  for (std::size_t i = 0; i < names.size() && i < kMacroLibraryCapacity; ++i) {
    library->MacroInfos[i] = FilledMacro(names[i], static_cast<std::uint8_t>(i));
  }
  library->nMacroInfoCount = static_cast<std::uint16_t>(names.size());
  return library;
}

class MacroFiles : public ::testing::Test {
 protected:
  void SetUp() override { files_.AddFolder(u"C:\\M"); }

  fakes::FakeFileSystem files_;
};

TEST_F(MacroFiles, EachMacroIsItsWholeRecordNamedAfterIt) {
  for (const std::u16string_view path : {u"C:\\M", u"C:\\M\\"}) {
    SCOPED_TRACE(std::string(path.begin(), path.end()));
    fakes::FakeFileSystem files;
    auto library = Library({u"Fire", u"Jump"});
    TxaMacroClass::SaveMacroKeyInfoListToMacroFiles(files, *library, path);
    const auto fire = files.Contents(u"C:\\M\\Fire.macro");
    ASSERT_TRUE(fire.has_value());
    EXPECT_EQ(fire->size(), 892u);
    EXPECT_EQ(*fire, ImageOf(library->MacroInfos[0]));
    EXPECT_EQ(files.Contents(u"C:\\M\\Jump.macro"), ImageOf(library->MacroInfos[1]));
    EXPECT_EQ(files.WriteCount(), 2);
  }
}

TEST_F(MacroFiles, OnlyTheUsedEntriesAreWrittenAndAtMost21) {
  auto library = Library({u"A", u"B", u"C"});
  library->nMacroInfoCount = 2;
  TxaMacroClass::SaveMacroKeyInfoListToMacroFiles(files_, *library, u"C:\\M");
  EXPECT_EQ(files_.WriteCount(), 2);
  EXPECT_FALSE(files_.FileExists(u"C:\\M\\C.macro"));

  std::vector<std::u16string> names;
  for (char16_t letter = u'a'; letter < u'a' + kMacroLibraryCapacity; ++letter) {
    names.emplace_back(1, letter);
  }
  auto full = Library(names);
  full->nMacroInfoCount = 30;
  fakes::FakeFileSystem files;
  TxaMacroClass::SaveMacroKeyInfoListToMacroFiles(files, *full, u"C:\\M");
  EXPECT_EQ(files.WriteCount(), kMacroLibraryCapacity);
}

TEST_F(MacroFiles, ALaterMacroOfTheSameNameWins) {
  auto library = Library({u"Fire", u"Other", u"Fire"});
  TxaMacroClass::SaveMacroKeyInfoListToMacroFiles(files_, *library, u"C:\\M");
  EXPECT_EQ(files_.Contents(u"C:\\M\\Fire.macro"), ImageOf(library->MacroInfos[2]));
}

TEST_F(MacroFiles, TheFolderIsCreatedOnlyWhenThereIsSomethingToWrite) {
  fakes::FakeFileSystem files;
  TxaMacroClass::SaveMacroKeyInfoListToMacroFiles(files, *Library({}), u"C:\\New");
  EXPECT_FALSE(files.FolderExists(u"C:\\New"));
  TxaMacroClass::SaveMacroKeyInfoListToMacroFiles(files, *Library({u"Fire"}), u"C:\\New");
  EXPECT_TRUE(files.FileExists(u"C:\\New\\Fire.macro"));
}

TEST_F(MacroFiles, AFolderThatCannotBeCreatedIsAnError) {
  // Only the last level is created.
  EXPECT_THROW(TxaMacroClass::SaveMacroKeyInfoListToMacroFiles(files_, *Library({u"Fire"}), u"C:\\No\\Such"),
               PlatformError);
  EXPECT_FALSE(files_.FolderExists(u"C:\\No"));
  EXPECT_EQ(files_.WriteCount(), 0);
}

TEST_F(MacroFiles, AnEmptyPathIsARangeError) {
  EXPECT_THROW(TxaMacroClass::SaveMacroKeyInfoListToMacroFiles(files_, *Library({u"Fire"}), u""),
               std::out_of_range);
  EXPECT_EQ(files_.WriteCount(), 0);
}

TEST_F(MacroFiles, ANameNoFileCanCarryFailsAloneAndIsNamedInTheError) {
  const std::u16string_view badNames[] = {
      u"A:B", u"a/b", u"a\\b", u"x*",  u"why?", u"\"q\"", u"<",    u">",    u"a|b",  u"tab\there",
      u"CON", u"con", u"Prn",  u"aux", u"NUL",  u"COM1",  u"com9", u"LPT1", u"lpt9", u"NUL.txt",
  };
  for (const std::u16string_view bad : badNames) {
    const std::string narrow(bad.begin(), bad.end());
    SCOPED_TRACE(narrow);
    fakes::FakeFileSystem files;
    files.AddFolder(u"C:\\M");
    auto library = Library({u"Before", std::u16string(bad), u"After"});
    try {
      TxaMacroClass::SaveMacroKeyInfoListToMacroFiles(files, *library, u"C:\\M");
      ADD_FAILURE() << "no error raised";
    } catch (const PlatformError& error) {
      EXPECT_EQ(error.Code(), 123u);
      EXPECT_NE(std::string(error.what()).find("\"" + narrow + "\""), std::string::npos) << error.what();
    }
    EXPECT_TRUE(files.FileExists(u"C:\\M\\Before.macro"));
    EXPECT_TRUE(files.FileExists(u"C:\\M\\After.macro"));
    EXPECT_EQ(files.WriteCount(), 2);
  }
}

TEST_F(MacroFiles, NamesCloseToDeviceNamesAreOrdinaryFiles) {
  auto library = Library({u"COM0", u"CONSOLE", u"LPT10", u"Nul1", u"x.CON", u"Feu \u00e9"});
  TxaMacroClass::SaveMacroKeyInfoListToMacroFiles(files_, *library, u"C:\\M");
  EXPECT_EQ(files_.WriteCount(), 6);
  EXPECT_TRUE(files_.FileExists(u"C:\\M\\x.CON.macro"));
}

TEST_F(MacroFiles, WriteFailuresAreCollectedAndTheFirstCodeIsReported) {
  files_.MakeUnwritable(u"C:\\M\\Locked.macro");
  auto library = Library({u"Locked", u"Fine", u"A:\U0001F5B1\u00e9"});
  try {
    TxaMacroClass::SaveMacroKeyInfoListToMacroFiles(files_, *library, u"C:\\M");
    ADD_FAILURE() << "no error raised";
  } catch (const PlatformError& error) {
    EXPECT_EQ(error.Code(), 5u);  // the fake's access denied, met first
    const std::string message = error.what();
    EXPECT_NE(message.find("\"Locked\""), std::string::npos) << message;
    EXPECT_NE(message.find("\"A:\xF0\x9F\x96\xB1\xC3\xA9\""), std::string::npos) << message;  // as UTF-8
    EXPECT_EQ(message.find("Fine"), std::string::npos) << message;
  }
  EXPECT_TRUE(files_.FileExists(u"C:\\M\\Fine.macro"));
  EXPECT_FALSE(files_.FileExists(u"C:\\M\\Locked.macro"));
}

TEST_F(MacroFiles, SavedMacroLoadsBackByteForByte) {
  auto library = Library({u"Fire"});
  library->MacroInfos[0].Version = 259;
  TxaMacroClass::SaveMacroKeyInfoListToMacroFiles(files_, *library, u"C:\\M");
  TMACROKEYINFO loaded{};
  TxaMacroClass::LoadMacroFromFile(files_, u"C:\\M\\Fire.macro", loaded);
  EXPECT_EQ(ImageOf(loaded), ImageOf(library->MacroInfos[0]));
  EXPECT_TRUE(TxaMacroClass::IsValidMacroVersion(loaded));
}

TEST_F(MacroFiles, LoadingCopiesOnlyWhatTheFileHolds) {
  const TMACROKEYINFO original = FilledMacro(u"Kept", 0x11);
  const std::vector<std::uint8_t> other = ImageOf(FilledMacro(u"File", 0x55));

  TMACROKEYINFO missing = original;
  TxaMacroClass::LoadMacroFromFile(files_, u"C:\\M\\Missing.macro", missing);
  EXPECT_EQ(ImageOf(missing), ImageOf(original));

  files_.AddFile(u"C:\\M\\Short.macro", std::vector<std::uint8_t>(other.begin(), other.begin() + 100));
  TMACROKEYINFO shortLoad = original;
  TxaMacroClass::LoadMacroFromFile(files_, u"C:\\M\\Short.macro", shortLoad);
  std::vector<std::uint8_t> expected = ImageOf(original);
  std::copy_n(other.begin(), 100, expected.begin());
  EXPECT_EQ(ImageOf(shortLoad), expected);

  std::vector<std::uint8_t> longer = other;
  longer.resize(1000, 0xEE);
  files_.AddFile(u"C:\\M\\Long.macro", longer);
  TMACROKEYINFO longLoad = original;
  TxaMacroClass::LoadMacroFromFile(files_, u"C:\\M\\Long.macro", longLoad);
  EXPECT_EQ(ImageOf(longLoad), other);
}

TEST_F(MacroFiles, AReadErrorPropagates) {
  files_.AddFile(u"C:\\M\\Busy.macro", std::vector<std::uint8_t>(892, 1));
  files_.MakeUnreadable(u"C:\\M\\Busy.macro");
  TMACROKEYINFO result{};
  EXPECT_THROW(TxaMacroClass::LoadMacroFromFile(files_, u"C:\\M\\Busy.macro", result), PlatformError);
}

TEST(MacroVersion, OnlyVersion259IsValid) {
  for (const std::uint32_t version : {259u, 0u, 258u, 260u, 0x10103u}) {
    TMACROKEYINFO macro{};
    macro.Version = version;
    EXPECT_EQ(TxaMacroClass::IsValidMacroVersion(macro), version == 259u) << version;
  }
}

}  // namespace
}  // namespace monitor
