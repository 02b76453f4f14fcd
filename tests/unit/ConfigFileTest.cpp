#include <gtest/gtest.h>

#include <string>

#include "fakes/FakeFileSystem.h"
#include "profiles/ConfigFile.h"

namespace monitor {
namespace {

std::vector<std::uint8_t> Utf8(std::string_view text) { return {text.begin(), text.end()}; }

IniFile Parse(std::string_view text) { return IniFile::Parse(Utf8(text)); }

TEST(ConfigFile, IncludeListStopsAtTheFirstGap) {
  EXPECT_EQ(ReadIncludeHidDeviceList(Parse("[IncludeHIDDeviceList]\nid1=HID\\VID_1234&PID_0001\nid3=X\n")),
            std::vector<std::u16string>{u"HID\\VID_1234&PID_0001"});
  EXPECT_EQ(ReadIncludeHidDeviceList(Parse("[IncludeHIDDeviceList]\nid1=A\nid2=\nid3=C\n")),
            std::vector<std::u16string>{u"A"});
  EXPECT_TRUE(ReadIncludeHidDeviceList(Parse("[Other]\nid1=A\n")).empty());
}

TEST(ConfigFile, IncludeListReadsAtMost101Keys) {
  std::string text = "[IncludeHIDDeviceList]\n";
  for (int n = 1; n <= 102; ++n) {
    text += "ID" + std::to_string(n) + " = dev" + std::to_string(n) + "\n";
  }
  const auto ids = ReadIncludeHidDeviceList(Parse(text));
  ASSERT_EQ(ids.size(), 101u);
  EXPECT_EQ(ids.front(), u"dev1");
  EXPECT_EQ(ids.back(), u"dev101");
}

TEST(ConfigFile, HelpFilesKeepFileOrderAndLeaveOutEmptyValues) {
  const OtherSettings settings =
      ReadOtherConfig(Parse("[HelpFiles]\nManual=manual.pdf\nFaq=\nQuick Start = quick.pdf \n"));
  EXPECT_EQ(settings.helpFiles,
            (std::vector<HelpFileEntry>{{u"Manual", u"manual.pdf"}, {u"Quick Start", u"quick.pdf"}}));
  EXPECT_EQ(settings.config.Nologo, 0);  // no OtherConfig section
  EXPECT_EQ(settings.config.ShowNumLock, 0);
}

TEST(ConfigFile, NoLogoIsAnIntegerOrZero) {
  struct Case {
    const char* value;
    std::int32_t nologo;
  };
  for (const Case& c : {Case{"1", 1}, Case{" 7 ", 7}, Case{"-2", -2}, Case{"0x10", 16}, Case{"$FF", 255},
                        Case{"yes", 0}, Case{"", 0}, Case{"12abc", 0}, Case{"99999999999", 0}}) {
    SCOPED_TRACE(c.value);
    const std::string text = std::string("[OtherConfig]\nNoLogo=") + c.value + "\n";
    EXPECT_EQ(ReadOtherConfig(Parse(text)).config.Nologo, c.nologo);
  }
}

TEST(IniFile, FollowsTheUsualRules) {
  const IniFile ini = Parse(
      "; a comment\n"
      "top=ignored outside a section\n"
      "[Section]\r\n"
      "  Key  =  \"quoted value\"  \r\n"
      "# another comment\n"
      "line without equals\n"
      "Twice=first\n"
      "Other=x=y\n"
      "twice=second\n"
      "[section]\n"
      "Late=joins the first section\n");
  EXPECT_EQ(ini.Value(u"SECTION", u"key"), u"quoted value");
  EXPECT_EQ(ini.Value(u"Section", u"Other"), u"x=y");
  EXPECT_EQ(ini.Value(u"Section", u"Late"), u"joins the first section");
  EXPECT_EQ(ini.Value(u"Section", u"top"), std::nullopt);
  EXPECT_EQ(ini.Value(u"Missing", u"Key"), std::nullopt);

  // A repeated key keeps its later value, in the place of its first.
  const auto entries = ini.Entries(u"Section");
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[1], (IniFile::Entry{u"Twice", u"second"}));
}

TEST(IniFile, ReadsUtf16AndUtf8TextAndFallsBackToLatin1) {
  const std::u16string text = u"[HelpFiles]\r\n帮助=说明.pdf\r\n";
  std::vector<std::uint8_t> utf16{0xFF, 0xFE};
  for (const char16_t unit : text) {
    utf16.push_back(static_cast<std::uint8_t>(unit));
    utf16.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  EXPECT_EQ(IniFile::Parse(utf16).Value(u"HelpFiles", u"帮助"), u"说明.pdf");
  EXPECT_EQ(Parse("\xEF\xBB\xBF[HelpFiles]\n\xE5\xB8\xAE=x\n").Value(u"HelpFiles", u"帮"), u"x");
  EXPECT_EQ(Parse("[HelpFiles]\nCaf\xE9=1\n").Value(u"HelpFiles", u"Caf\u00E9"), u"1");
}

TEST(ConfigFile, IsReadFromTheGivenFolderAndMayBeMissing) {
  fakes::FakeFileSystem files;
  files.AddFolder(u"C:\\App");
  EXPECT_TRUE(ReadIncludeHidDeviceList(ReadConfigFile(files, u"C:\\App\\")).empty());
  files.AddFile(u"C:\\App\\config.ini", Utf8("[IncludeHIDDeviceList]\nid1=A\n"));
  EXPECT_EQ(ReadIncludeHidDeviceList(ReadConfigFile(files, u"C:\\App\\")), std::vector<std::u16string>{u"A"});
}

}  // namespace
}  // namespace monitor
