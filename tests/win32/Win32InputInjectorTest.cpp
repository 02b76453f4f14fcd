#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/win32/Win32HookLibrary.h"
#include "platform/win32/Win32InputInjector.h"
#include "platform/win32/Win32MainLoop.h"
#include "win32/MessagePump.h"
#include "win32/TestWindow.h"

namespace monitor::win32 {
namespace {

using namespace std::chrono_literals;

constexpr std::chrono::milliseconds kQuietPeriod = 300ms;
constexpr RECT kWindowPlace{250, 200, 650, 500};
constexpr std::uint8_t kBrowserBack = 0xA6;
constexpr LPARAM kExtendedKeyBit = LPARAM{1} << 24;

// Each case presses and releases, so that nothing stays held for the tests after it.
struct InjectionCase {
  const char* name;
  std::function<bool(InputInjector&)> inject;  // true when every event was taken
  std::vector<UINT> windowMessages;
  std::function<bool(const ReceivedInput&)> parametersAreRight;
  std::size_t mouseHookEvents;
};

void PrintTo(const InjectionCase& injection, std::ostream* out) { *out << injection.name; }

bool IsKeyOrMouseAction(UINT message) {
  return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP ||
         (message >= WM_LBUTTONDOWN && message <= WM_MOUSELAST);
}

InjectionCase KeyCase(const char* name, std::uint8_t key, bool extended) {
  return {name,
          [=](InputInjector& injector) {
            return injector.Key(key, true, extended) && injector.Key(key, false, extended);
          },
          {WM_KEYDOWN, WM_KEYUP},
          [=](const ReceivedInput& input) {
            return input.wParam == key && ((input.lParam & kExtendedKeyBit) != 0) == extended;
          },
          0};
}

InjectionCase ClickCase(const char* name, MouseButton button, UINT down, UINT up) {
  return {name,
          [=](InputInjector& injector) {
            return injector.Button(button, true) && injector.Button(button, false);
          },
          {down, up},
          [](const ReceivedInput&) { return true; },
          2};
}

InjectionCase WheelCase(const char* name, int delta) {
  return {name,
          [=](InputInjector& injector) { return injector.Wheel(delta); },
          {WM_MOUSEWHEEL},
          [=](const ReceivedInput& input) { return GET_WHEEL_DELTA_WPARAM(input.wParam) == delta; },
          1};
}

// The test window in front, with the pointer over it and the keyboard
// focus, and the low-level mouse hook recording the injected flag of every
// button and wheel event.
class Win32InputInjectorTest : public ::testing::TestWithParam<InjectionCase> {
 protected:
  void SetUp() override {
    ASSERT_EQ(library_.Load(), InputHookLibrary::Loading::Loaded);
    const POINT centre = window_.Centre();
    SetCursorPos(centre.x, centre.y);
    library_.EnableMouseHook([this](int, std::uint32_t message, const LowLevelMouseEvent& event, bool&) {
      if (message != WM_MOUSEMOVE) {
        hookSawInjected_.push_back((event.flags & LLMHF_INJECTED) != 0);
      }
    });
    PumpFor(loop_, kQuietPeriod);
  }

  std::vector<ReceivedInput> Actions() const {
    std::vector<ReceivedInput> actions;
    std::copy_if(window_.Received().begin(), window_.Received().end(), std::back_inserter(actions),
                 [](const ReceivedInput& input) { return IsKeyOrMouseAction(input.message); });
    return actions;
  }

  Win32MainLoop loop_;
  TestWindow window_{kWindowPlace};
  Win32HookLibrary library_;
  Win32InputInjector injector_;
  std::vector<bool> hookSawInjected_;
};

TEST_P(Win32InputInjectorTest, TheWindowReceivesTheEventsAndTheMouseHookSeesThemInjected) {
  const InjectionCase& injection = GetParam();
  ASSERT_TRUE(injection.inject(injector_));
  EXPECT_TRUE(PumpUntil(loop_, [&] { return Actions().size() >= injection.windowMessages.size(); }));
  PumpFor(loop_, kQuietPeriod);

  const std::vector<ReceivedInput> actions = Actions();
  std::vector<UINT> messages;
  for (const ReceivedInput& action : actions) {
    messages.push_back(action.message);
    EXPECT_TRUE(injection.parametersAreRight(action))
        << "message 0x" << std::hex << action.message << ": wParam 0x" << action.wParam << ", lParam 0x"
        << action.lParam;
  }
  EXPECT_EQ(messages, injection.windowMessages);
  // Mouse events pass the mouse hook marked injected, which is how the
  // recorder leaves playback out.
  EXPECT_EQ(hookSawInjected_, std::vector<bool>(injection.mouseHookEvents, true));
}

INSTANTIATE_TEST_SUITE_P(
    Windows, Win32InputInjectorTest,
    ::testing::Values(KeyCase("BrowserBackExtended", kBrowserBack, true), KeyCase("PlainKey", 'Q', false),
                      ClickCase("LeftClick", MouseButton::Left, WM_LBUTTONDOWN, WM_LBUTTONUP),
                      ClickCase("RightClick", MouseButton::Right, WM_RBUTTONDOWN, WM_RBUTTONUP),
                      ClickCase("MiddleClick", MouseButton::Middle, WM_MBUTTONDOWN, WM_MBUTTONUP),
                      WheelCase("WheelTowardsTheUser", -WHEEL_DELTA),
                      WheelCase("WheelAwayFromTheUser", WHEEL_DELTA)),
    [](const ::testing::TestParamInfo<InjectionCase>& injection) {
      return std::string(injection.param.name);
    });

}  // namespace
}  // namespace monitor::win32
