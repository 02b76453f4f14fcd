#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <sstream>
#include <string>

#include "platform/win32/WideText.h"
#include "platform/win32/Win32MainLoop.h"
#include "platform/win32/Win32Screen.h"
#include "win32/LinuxCommand.h"
#include "win32/MessagePump.h"
#include "win32/TestWindow.h"

namespace monitor::win32 {
namespace {

constexpr RECT kWindowPlace{100, 100, 400, 300};

TEST(Win32Screen, ThePrimaryScreenHasTheSizeOfTheXDisplay) {
  Win32MainLoop loop;
  const std::optional<LinuxCommandResult> geometry = RunLinuxCommand(loop, "xdotool getdisplaygeometry");
  ASSERT_TRUE(geometry.has_value());
  ASSERT_EQ(geometry->exitCode, 0) << geometry->output;
  int width = 0;
  int height = 0;
  std::istringstream(geometry->output) >> width >> height;

  const ScreenSize size = Win32Screen().PrimaryScreenSize();
  EXPECT_EQ(size.width, width);
  EXPECT_EQ(size.height, height);
}

TEST(Win32Screen, TheForegroundWindowsTitleIsReadUpTo255Characters) {
  struct Case {
    const char* name;
    std::u16string title;
    std::u16string expected;
  };
  const std::u16string longTitle(300, u'x');
  const Case cases[] = {
      {"plain", u"FrmRecord", u"FrmRecord"},
      {"Chinese", u"\u6b63\u5728\u5f55\u5236 \u2013 \u5b8f", u"\u6b63\u5728\u5f55\u5236 \u2013 \u5b8f"},
      {"longer than 255", longTitle, longTitle.substr(0, 255)},
  };
  Win32MainLoop loop;
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    const TestWindow window(kWindowPlace, ToWide(test.title));
    ASSERT_TRUE(PumpUntil(loop, [&] { return GetForegroundWindow() == window.Handle(); }));
    EXPECT_EQ(Win32Screen().ForegroundWindowTitle(), test.expected);
  }
}

}  // namespace
}  // namespace monitor::win32
