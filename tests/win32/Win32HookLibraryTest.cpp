#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/HookLibraryAbi.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32HookLibrary.h"
#include "platform/win32/Win32MainLoop.h"
#include "win32/LinuxCommand.h"
#include "win32/MessagePump.h"
#include "win32/ScratchFolder.h"
#include "win32/TestExecutable.h"
#include "win32/TestWindow.h"

namespace monitor::win32 {

int LoadHookLibraryAsChild() { return static_cast<int>(Win32HookLibrary().Load()); }

namespace {

using namespace std::chrono_literals;
using Loading = InputHookLibrary::Loading;

constexpr wchar_t kIncompleteLibrary[] = L"xaHookIncomplete.dll";
// Long enough for a second copy of an event, or a swallowed one, to have come.
constexpr std::chrono::milliseconds kQuietPeriod = 300ms;
constexpr RECT kWindowPlace{200, 150, 600, 450};

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

TEST(Win32HookLibrary, LoadsTheLibraryBesideTheExecutableAndUnloadsItCompletely) {
  Win32HookLibrary library;
  ASSERT_EQ(library.Load(), Loading::Loaded);
  EXPECT_NE(GetModuleHandleW(kHookLibraryFileName), nullptr);
  EXPECT_EQ(library.Load(), Loading::Loaded) << "a second load of a loaded library";

  library.Unload();
  EXPECT_EQ(GetModuleHandleW(kHookLibraryFileName), nullptr);
}

TEST(Win32HookLibrary, ALibraryWithoutOneEntryPointIsIncompleteAndLeftUnloaded) {
  Win32HookLibrary library(kIncompleteLibrary);
  EXPECT_EQ(library.Load(), Loading::Incomplete);
  EXPECT_EQ(GetModuleHandleW(kIncompleteLibrary), nullptr);

  // What the hook component may still call does nothing.
  bool called = false;
  library.EnableMouseHook([&](int, std::uint32_t, const LowLevelMouseEvent&, bool&) { called = true; });
  library.DisableMouseHook();
  library.EnableKeyboardHook([&](int, std::uint32_t, const LowLevelKeyboardEvent&, bool&) { called = true; });
  library.DisableKeyboardHook();
  EXPECT_FALSE(called);
}

// The library is looked for in the executable's folder only: a copy of the
// tests in a folder without it finds it missing, even when started in the
// folder that has it, which the current-directory search would find.
TEST(Win32HookLibrary, ACopyOfTheProgramWithoutTheLibraryBesideItFindsItMissing) {
  const std::wstring self = TestExecutablePath();
  ASSERT_FALSE(self.empty());
  const std::wstring libraryFolder = FolderOf(self);
  const std::wstring copyFolder = ToWide(ScratchFolder()) + L"\\without-hook-library";
  const std::wstring copy = copyFolder + L"\\adapter_tests.exe";
  CreateDirectoryW(copyFolder.c_str(), nullptr);
  ASSERT_TRUE(CopyFileW(self.c_str(), copy.c_str(), FALSE)) << "error " << GetLastError();

  struct Case {
    const char* name;
    std::wstring executable;
    Loading expected;
  };
  const Case cases[] = {
      {"the program beside the library", self, Loading::Loaded},
      {"a copy elsewhere", copy, Loading::Missing},
  };
  for (const Case& run : cases) {
    SCOPED_TRACE(run.name);
    // The wait guards against a child that never ends; it is not a speed requirement.
    const UniqueHandle child = StartInRole(run.executable, kLoadHookLibraryRole, libraryFolder);
    ASSERT_TRUE(child);
    const std::optional<DWORD> exitCode = ExitCodeWithin(child.get(), 30000);
    ASSERT_TRUE(exitCode.has_value());
    EXPECT_EQ(*exitCode, static_cast<DWORD>(run.expected));
  }
  DeleteFileW(copy.c_str());
  RemoveDirectoryW(copyFolder.c_str());
}

// What a hook callback saw of one event.
struct SeenMouse {
  std::uint32_t message;
  std::int16_t wheelDelta;
  bool injected;
  DWORD thread;
  POINT point;
};

struct SeenKey {
  std::uint32_t message;
  std::uint32_t virtualKey;
  std::uint32_t flags;
  DWORD thread;
};

// A window of the test under the pointer, with the keyboard focus, and the
// library loaded: the X input xdotool makes goes to the window and through
// the hooks, as the hardware's would.
class Win32HookLibraryRealInput : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(library_.Load(), Loading::Loaded);
    library_.DisableMouseHook();  // none is in place: harmless
    PumpFor(loop_, kQuietPeriod);
  }

  // Mouse buttons and the wheel; the pointer's moves are left out.
  void RecordMouse(bool block = false) {
    library_.EnableMouseHook(
        [this, block](int, std::uint32_t message, const LowLevelMouseEvent& event, bool& blocked) {
          if (message == WM_MOUSEMOVE) {
            return;
          }
          mouse_.push_back({message,
                            static_cast<std::int16_t>(event.mouseData >> 16),
                            (event.flags & 1) != 0,
                            GetCurrentThreadId(),
                            {event.x, event.y}});
          blocked = block;
        });
  }

  // The pointer over the window's centre, then the actions.
  void XdotoolOverWindow(const std::string& actions) {
    const POINT centre = window_.Centre();
    ASSERT_TRUE(Xdotool(
        loop_, "mousemove " + std::to_string(centre.x) + " " + std::to_string(centre.y) + " " + actions));
  }

  void PumpUntilMouseSeen(std::size_t count) {
    EXPECT_TRUE(PumpUntil(loop_, [&] { return mouse_.size() >= count; }))
        << mouse_.size() << " of " << count << " mouse events came";
    PumpFor(loop_, kQuietPeriod);
  }

  Win32MainLoop loop_;
  TestWindow window_{kWindowPlace};
  Win32HookLibrary library_;
  std::vector<SeenMouse> mouse_;
};

// xdotool's buttons 4 and 5 turn the wheel away from and towards the user.
TEST_F(Win32HookLibraryRealInput, TheMouseHookSeesRealClicksAndWheelTurnsOnTheEnablingThread) {
  RecordMouse();
  XdotoolOverWindow("click 1 click 5 click 4");
  PumpUntilMouseSeen(4);

  const std::vector<std::uint32_t> expectedMessages{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEWHEEL,
                                                    WM_MOUSEWHEEL};
  std::vector<std::uint32_t> messages;
  for (const SeenMouse& seen : mouse_) {
    messages.push_back(seen.message);
    EXPECT_FALSE(seen.injected) << "message 0x" << std::hex << seen.message;
    EXPECT_EQ(seen.thread, GetCurrentThreadId());
    EXPECT_EQ(seen.point.x, window_.Centre().x);
    EXPECT_EQ(seen.point.y, window_.Centre().y);
  }
  ASSERT_EQ(messages, expectedMessages);
  EXPECT_EQ(mouse_[2].wheelDelta, -WHEEL_DELTA) << "towards the user";
  EXPECT_EQ(mouse_[3].wheelDelta, WHEEL_DELTA) << "away from the user";
  // Passed on: the window got the click too.
  const std::vector<UINT> received = window_.ReceivedMessages();
  EXPECT_EQ(std::count(received.begin(), received.end(), WM_LBUTTONDOWN), 1);
}

TEST_F(Win32HookLibraryRealInput, TheKeyboardHookSeesARealKeyPressAndRelease) {
  std::vector<SeenKey> keys;
  library_.EnableKeyboardHook([&](int, std::uint32_t message, const LowLevelKeyboardEvent& event, bool&) {
    keys.push_back({message, event.vkCode, event.flags, GetCurrentThreadId()});
  });
  XdotoolOverWindow("key a");
  EXPECT_TRUE(PumpUntil(loop_, [&] { return keys.size() >= 2; }));
  PumpFor(loop_, kQuietPeriod);

  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0].message, static_cast<std::uint32_t>(WM_KEYDOWN));
  EXPECT_EQ(keys[1].message, static_cast<std::uint32_t>(WM_KEYUP));
  for (const SeenKey& key : keys) {
    EXPECT_EQ(key.virtualKey, static_cast<std::uint32_t>('A'));
    EXPECT_EQ(key.flags & LLKHF_INJECTED, 0u);
    EXPECT_EQ(key.thread, GetCurrentThreadId());
  }
  EXPECT_EQ(keys[0].flags & LLKHF_UP, 0u);
  EXPECT_NE(keys[1].flags & LLKHF_UP, 0u);
}

// Blocked swallows the click before any window sees it; once the hook is
// disabled, clicks reach the window again.
TEST_F(Win32HookLibraryRealInput, BlockedSwallowsTheEventAndDisablingStopsTheHook) {
  RecordMouse(/*block=*/true);
  XdotoolOverWindow("click 1");
  PumpUntilMouseSeen(2);
  EXPECT_EQ(mouse_.size(), 2u);
  EXPECT_TRUE(window_.Received().empty()) << "the window saw a blocked click";

  library_.DisableMouseHook();
  mouse_.clear();
  XdotoolOverWindow("click 1");
  EXPECT_TRUE(PumpUntil(loop_, [&] { return window_.Received().size() >= 2; }));
  PumpFor(loop_, kQuietPeriod);
  EXPECT_TRUE(mouse_.empty()) << "a disabled hook still saw events";
  EXPECT_EQ(window_.ReceivedMessages(), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
}

// Enabling again replaces the earlier callback: at most one per kind.
TEST_F(Win32HookLibraryRealInput, EnablingAgainReplacesTheEarlierCallback) {
  int earlierCalls = 0;
  library_.EnableMouseHook([&](int, std::uint32_t message, const LowLevelMouseEvent&, bool&) {
    earlierCalls += message == WM_MOUSEMOVE ? 0 : 1;
  });
  RecordMouse();
  XdotoolOverWindow("click 1");
  PumpUntilMouseSeen(2);
  EXPECT_EQ(mouse_.size(), 2u);
  EXPECT_EQ(earlierCalls, 0);
}

}  // namespace
}  // namespace monitor::win32
