#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/Messages.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32PeerWindows.h"

namespace monitor::win32 {
namespace {

using namespace std::chrono_literals;

// Guards against a window that never answers; not a speed requirement.
constexpr auto kArrivalWait = 30s;
// A blocked window wakes up by itself after this, so that a Send that
// waits for it fails the test instead of hanging it.
constexpr DWORD kLongestBlockMs = 20000;
// Wine, like Windows, counts a thread as not responding once it has not
// looked at its messages for five seconds.
constexpr DWORD kUntilHungMs = 5500;

// Makes the window's thread stop looking at its messages until released.
constexpr UINT kBlockMessage = WM_APP + 1;

struct Received {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;

  friend bool operator==(const Received&, const Received&) = default;
};

// A top-level window of a class unique to this run, on a thread of its own
// that pumps its messages, as another program's window would be. It keeps
// every message of the monitor's range that it handled.
class PeerWindow {
 public:
  explicit PeerWindow(int showCommand = SW_HIDE)
      : className_(L"MonitorPeerTest-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                   std::to_wstring(++windowsMade_)),
        blocked_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        released_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        thread_([this, showCommand] { Run(showCommand); }) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return started_; });
  }
  PeerWindow(const PeerWindow&) = delete;
  PeerWindow& operator=(const PeerWindow&) = delete;
  ~PeerWindow() {
    Release();
    if (window_ != nullptr) {
      PostMessageW(window_, WM_CLOSE, 0, 0);
    }
    thread_.join();
    UnregisterClassW(className_.c_str(), GetModuleHandleW(nullptr));
  }

  HWND Window() const { return window_; }
  WindowHandle Handle() const { return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(window_)); }
  std::u16string ClassName() const { return FromWide(className_); }

  std::vector<Received> Handled() {
    const std::lock_guard lock(mutex_);
    return handled_;
  }

  // Waits until the window handled that many messages; what it handled.
  std::vector<Received> WaitForHandled(std::size_t count) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, kArrivalWait, [&] { return handled_.size() >= count; });
    return handled_;
  }

  void Block() {
    PostMessageW(window_, kBlockMessage, 0, 0);
    WaitForSingleObject(blocked_.get(), kLongestBlockMs);
  }
  void Release() { SetEvent(released_.get()); }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<PeerWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == kBlockMessage) {
      SetEvent(self->blocked_.get());
      WaitForSingleObject(self->released_.get(), kLongestBlockMs);
      return 0;
    }
    if (message >= WM_USER && message < WM_APP) {
      const std::lock_guard lock(self->mutex_);
      self->handled_.push_back({message, wParam, lParam});
      self->changed_.notify_all();
      return 0;
    }
    if (message == WM_DESTROY) {
      PostQuitMessage(0);
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  void Run(int showCommand) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className_.c_str();
    HWND window = nullptr;
    if (RegisterClassW(&windowClass) != 0) {
      window = CreateWindowExW(0, className_.c_str(), L"TZelCfgExMain3 stand-in", WS_OVERLAPPEDWINDOW,
                               CW_USEDEFAULT, CW_USEDEFAULT, 300, 200, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }
    if (window != nullptr) {
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
      ShowWindow(window, showCommand);
    }
    {
      const std::lock_guard lock(mutex_);
      window_ = window;
      started_ = true;
      changed_.notify_all();
    }
    MSG message{};
    while (window != nullptr && GetMessageW(&message, nullptr, 0, 0) > 0) {
      DispatchMessageW(&message);
    }
  }

  inline static int windowsMade_ = 0;
  const std::wstring className_;
  const UniqueHandle blocked_;
  const UniqueHandle released_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool started_ = false;
  HWND window_ = nullptr;
  std::vector<Received> handled_;
  std::thread thread_;
};

class Win32PeerWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(peer_.Window(), nullptr) << "cannot make the test window"; }

  Win32PeerWindows peers_;
  PeerWindow peer_;
};

TEST_F(Win32PeerWindowsTest, FindsATopLevelWindowByClassAlone) {
  EXPECT_EQ(peers_.FindByClass(peer_.ClassName()), peer_.Handle());
  EXPECT_EQ(peers_.FindByClass(peer_.ClassName() + u"-none"), std::nullopt);
}

// The parameters arrive whole: a negative lParam keeps its sign and all
// bits of a 64-bit one.
TEST_F(Win32PeerWindowsTest, PostedMessageArrivesWithItsParameters) {
  const auto lParam = static_cast<std::intptr_t>(-2);
  peers_.Post(peer_.Handle(), MSG_MONITOR_EXIT, 7, lParam);

  EXPECT_EQ(peer_.WaitForHandled(1), (std::vector<Received>{{MSG_MONITOR_EXIT, 7, lParam}}));
}

// The window's own thread handles it, and it has done so when Send returns.
TEST_F(Win32PeerWindowsTest, SentMessageIsHandledBeforeSendReturns) {
  EXPECT_TRUE(peers_.Send(peer_.Handle(), MSG_PROFILE_SWITCHED, 1, 0, 5s));
  EXPECT_EQ(peer_.Handled(), (std::vector<Received>{{MSG_PROFILE_SWITCHED, 1, 0}}));
}

// A busy window is waited for only as long as the time-out: Send gives up
// while the window is still blocked.
TEST_F(Win32PeerWindowsTest, SendToABlockedWindowEndsAtTheTimeout) {
  peer_.Block();
  EXPECT_FALSE(peers_.Send(peer_.Handle(), MSG_RECORD_SAVED, 2, 0, 200ms));
  EXPECT_TRUE(peer_.Handled().empty());
}

// A window that has stopped answering altogether is not waited for at all:
// the window is released shortly after the send begins, so a Send that
// waited for it would see it handled.
TEST_F(Win32PeerWindowsTest, SendToAHungWindowReturnsAtOnce) {
  peer_.Block();
  Sleep(kUntilHungMs);
  std::thread releaser([this] {
    Sleep(1000);
    peer_.Release();
  });
  const bool handled = peers_.Send(peer_.Handle(), MSG_PROFILE_SWITCHED, 0, 0, 60s);
  const std::vector<Received> handledMeanwhile = peer_.Handled();
  releaser.join();

  EXPECT_FALSE(handled);
  EXPECT_TRUE(handledMeanwhile.empty());
}

// Activation completes on the window's own thread.
bool BecomesForeground(HWND window) {
  for (DWORD waited = 0; GetForegroundWindow() != window && waited < 5000; waited += 10) {
    Sleep(10);
  }
  return GetForegroundWindow() == window;
}

// The configuration program's window comes forward, restored first when it
// was minimised. (Wine takes two seconds to destroy a shown window when no
// window manager runs, so the test keeps to two.)
TEST(Win32PeerWindows, BringToForegroundRestoresAndActivatesTheWindow) {
  PeerWindow peer(SW_SHOWMINIMIZED);
  const PeerWindow other(SW_SHOWNORMAL);
  ASSERT_NE(peer.Window(), nullptr);
  ASSERT_NE(other.Window(), nullptr);
  ASSERT_TRUE(IsIconic(peer.Window()));
  Win32PeerWindows peers;

  peers.BringToForeground(peer.Handle());
  EXPECT_FALSE(IsIconic(peer.Window()));
  EXPECT_TRUE(BecomesForeground(peer.Window()));

  // Restored, but behind another program's window. Wine settles the
  // foreground through the X server, so the set-up asks until it took.
  for (int attempt = 0; attempt < 5 && GetForegroundWindow() != other.Window(); ++attempt) {
    SetForegroundWindow(other.Window());
    BecomesForeground(other.Window());
  }
  ASSERT_EQ(GetForegroundWindow(), other.Window());
  peers.BringToForeground(peer.Handle());
  EXPECT_TRUE(BecomesForeground(peer.Window()));
}

}  // namespace
}  // namespace monitor::win32
