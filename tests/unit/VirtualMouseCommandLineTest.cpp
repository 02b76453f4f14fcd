#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/virtual_mouse/MouseCommandLine.h"

namespace monitor::virtual_mouse {
namespace {

using Bytes = std::vector<std::uint8_t>;

ParsedCommandLine Parse(std::vector<std::u16string> arguments) { return ParseCommandLine(arguments); }

TEST(VirtualMouseCommandLine, InputCommandsBuildTheirReports) {
  struct Case {
    std::vector<std::u16string> arguments;
    Bytes report;
  };
  const Case cases[] = {
      {{u"press", u"0"}, {7, 0x01, 0, 0, 0, 0, 0, 0}},
      {{u"press", u"7"}, {7, 0x80, 0, 0, 0, 0, 0, 0}},
      {{u"press", u"8"}, {7, 0, 0x01, 0, 0, 0, 0, 0}},
      {{u"press", u"23"}, {7, 0, 0, 0x80, 0, 0, 0, 0}},
      {{u"release"}, {7, 0, 0, 0, 0, 0, 0, 0}},
      {{u"profile", u"0"}, {8, 1, 0, 0, 0, 0, 0, 0}},
      {{u"profile", u"1"}, {8, 1, 1, 0, 0, 0, 0, 0}},
      {{u"report", u"07", u"80"}, {7, 0x80}},
      {{u"report", u"0780aB", u"ff"}, {7, 0x80, 0xAB, 0xFF}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.arguments[0].begin(), c.arguments[0].end()));
    const ParsedCommandLine parsed = Parse(c.arguments);
    ASSERT_TRUE(parsed.command) << parsed.error;
    EXPECT_EQ(*parsed.command, MouseCommand(PushInputCommand{c.report}));
  }
}

TEST(VirtualMouseCommandLine, RunTakesItsOptionsInAnyOrder) {
  EXPECT_EQ(Parse({u"run"}).command, MouseCommand(RunCommand{u"", 1024}));
  EXPECT_EQ(Parse({u"run", u"--feature-length", u"64", u"--log", u"C:\\t\\mouse.log"}).command,
            MouseCommand(RunCommand{u"C:\\t\\mouse.log", 64}));
  EXPECT_EQ(Parse({u"unplug"}).command, MouseCommand(UnplugCommand{}));
  EXPECT_EQ(Parse({u"quit"}).command, MouseCommand(QuitCommand{}));
}

TEST(VirtualMouseCommandLine, RefusesWrongArguments) {
  const std::vector<std::vector<std::u16string>> cases = {
      {},
      {u"jump"},
      {u"press"},
      {u"press", u"24"},
      {u"press", u"-1"},
      {u"press", u"7x"},
      {u"press", u"1", u"2"},
      {u"release", u"1"},
      {u"profile", u"2"},
      {u"profile"},
      {u"report"},
      {u"report", u"078"},
      {u"report", u"0G"},
      {u"unplug", u"now"},
      {u"run", u"--log"},
      {u"run", u"--feature-length", u"0"},
      {u"run", u"--feature-length", u"65536"},
      {u"run", u"--verbose", u"1"},
  };
  for (const auto& arguments : cases) {
    std::string words;
    for (const auto& argument : arguments) {
      words += std::string(argument.begin(), argument.end()) + " ";
    }
    SCOPED_TRACE(words);
    const ParsedCommandLine parsed = Parse(arguments);
    EXPECT_FALSE(parsed.command);
    EXPECT_FALSE(parsed.error.empty());
  }
}

}  // namespace
}  // namespace monitor::virtual_mouse
