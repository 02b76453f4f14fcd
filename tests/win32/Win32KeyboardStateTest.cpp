#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdint>

#include "platform/win32/Win32KeyboardState.h"
#include "platform/win32/Win32MainLoop.h"
#include "win32/LinuxCommand.h"
#include "win32/MessagePump.h"
#include "win32/TestWindow.h"

namespace monitor::win32 {
namespace {

using namespace std::chrono_literals;

constexpr RECT kWindowPlace{300, 250, 700, 550};

// X sends its keys to the window with the focus: the test window's, in
// front under the pointer.
class Win32KeyboardStateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const POINT centre = window_.Centre();
    ASSERT_TRUE(Xdotool(loop_, "mousemove " + std::to_string(centre.x) + " " + std::to_string(centre.y)));
  }

  Win32MainLoop loop_;
  TestWindow window_{kWindowPlace};
  Win32KeyboardState keyboard_;
};

TEST_F(Win32KeyboardStateTest, AKeyHeldDownIsDownUntilItIsReleased) {
  EXPECT_FALSE(keyboard_.IsKeyDown(VK_SHIFT));
  ASSERT_TRUE(Xdotool(loop_, "keydown shift"));
  EXPECT_TRUE(PumpUntil(loop_, [&] { return keyboard_.IsKeyDown(VK_SHIFT); }));
  EXPECT_TRUE(keyboard_.IsKeyDown(VK_LSHIFT));
  EXPECT_FALSE(keyboard_.IsKeyDown(VK_CONTROL));

  ASSERT_TRUE(Xdotool(loop_, "keyup shift"));
  EXPECT_TRUE(PumpUntil(loop_, [&] { return !keyboard_.IsKeyDown(VK_SHIFT); }));
  EXPECT_FALSE(keyboard_.IsKeyDown(VK_LSHIFT));
}

TEST_F(Win32KeyboardStateTest, TheLastInputTimeAdvancesWithInput) {
  PumpFor(loop_, 100ms);
  const std::uint32_t before = keyboard_.LastInputTime();
  PumpFor(loop_, 100ms);  // long enough for the clock to move on
  ASSERT_TRUE(Xdotool(loop_, "key a"));
  EXPECT_TRUE(PumpUntil(loop_, [&] { return keyboard_.LastInputTime() != before; }));

  const std::uint32_t after = keyboard_.LastInputTime();
  EXPECT_GT(after, before);
  EXPECT_LE(after, GetTickCount());
}

}  // namespace
}  // namespace monitor::win32
