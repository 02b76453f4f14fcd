#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32HidBus.h"

namespace monitor::win32 {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Outcome = HidReadResult::Outcome;

// Guards against a read that never ends; not a speed requirement.
constexpr auto kReadGuard = std::chrono::seconds(20);
// Long enough for the read to be pending when it is ended from outside.
constexpr auto kLetTheReadStart = std::chrono::milliseconds(300);

DWORD HandleCount() {
  DWORD count = 0;
  GetProcessHandleCount(GetCurrentProcess(), &count);
  return count;
}

// Wine lists the HID devices its bus drivers found on the host; a test
// machine usually has none. Whatever there is gets listed with a path, and
// listing again neither changes the list nor keeps handles.
TEST(Win32HidBus, ListsWhatTheSystemHasWithoutKeepingHandles) {
  Win32HidBus bus;
  const auto interfaces = bus.EnumerateInterfaces();
  ::testing::Test::RecordProperty("hid_interfaces", static_cast<int>(interfaces.size()));
  for (const HidInterfaceInfo& info : interfaces) {
    EXPECT_FALSE(info.path.empty());
    const auto device = bus.Open(info.path, HidAccess::Exchange);
    if (device) {
      device->Capabilities();
    }
  }
  const DWORD handles = HandleCount();
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(bus.EnumerateInterfaces().size(), interfaces.size());
  }
  EXPECT_EQ(HandleCount(), handles);
}

TEST(Win32HidBus, AMissingPathDoesNotOpen) {
  Win32HidBus bus;
  for (const HidAccess access : {HidAccess::Exchange, HidAccess::Reading}) {
    EXPECT_EQ(bus.Open(u"\\\\?\\hid#vid_f0e5&pid_0b07#0&0&0#{4d1e55b2-f16f-11cf-88cb-001111000030}", access),
              nullptr);
  }
}

// With no HID device to hand, a named pipe stands in for one: the bus opens
// any path, and a reader reads whatever the other end writes.
class Win32HidBusReadingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring name =
        L"\\\\.\\pipe\\GamingMouseMonitor.HidStandIn." + std::to_wstring(GetCurrentProcessId());
    server_ = OwnFileHandle(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                             4096, 4096, 0, nullptr));
    ASSERT_TRUE(server_) << GetLastError();
    device_ = bus_.Open(FromWide(name), HidAccess::Reading);
    ASSERT_NE(device_, nullptr);
  }

  void Send(const Bytes& bytes) {
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(server_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  }

  // A read on its own thread, ended by `end`; the outcome, or nullopt when
  // it did not end in time.
  template <class End>
  std::optional<Outcome> ReadEndedBy(End end) {
    std::stop_source stop;
    auto result = std::async(std::launch::async, [this, token = stop.get_token()] {
      Bytes buffer(8);
      return device_->ReadReport(buffer, token);
    });
    std::this_thread::sleep_for(kLetTheReadStart);
    end(stop);
    if (result.wait_for(kReadGuard) != std::future_status::ready) {
      server_.reset();  // frees the reader so the test can end
      return std::nullopt;
    }
    return result.get().outcome;
  }

  Win32HidBus bus_;
  UniqueHandle server_;
  std::unique_ptr<HidDevice> device_;
};

TEST_F(Win32HidBusReadingTest, ReadsNoMoreThanTheBufferHolds) {
  EXPECT_EQ(device_->Capabilities(), std::nullopt);  // not a HID device
  Send({7, 0x80, 0, 0, 0, 0, 0, 0});
  Bytes buffer(16, 0xEE);
  const HidReadResult head = device_->ReadReport(std::span(buffer).first(3), {});
  EXPECT_EQ(head.outcome, Outcome::Report);
  ASSERT_EQ(head.size, 3u);
  EXPECT_EQ(buffer, (Bytes{7, 0x80, 0, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE,
                           0xEE}));
  const HidReadResult rest = device_->ReadReport(buffer, {});
  EXPECT_EQ(rest.outcome, Outcome::Report);
  EXPECT_EQ(rest.size, 5u);
}

TEST_F(Win32HidBusReadingTest, AStopCancelsThePendingReadAndTheNextReadWorks) {
  EXPECT_EQ(ReadEndedBy([](std::stop_source& stop) { stop.request_stop(); }), Outcome::Stopped);
  Send({8, 1, 1, 0, 0, 0, 0, 0});
  Bytes buffer(8);
  const HidReadResult next = device_->ReadReport(buffer, {});
  EXPECT_EQ(next.outcome, Outcome::Report);
  EXPECT_EQ(buffer, (Bytes{8, 1, 1, 0, 0, 0, 0, 0}));
}

TEST_F(Win32HidBusReadingTest, AStopRequestedBeforeTheReadEndsItAtOnce) {
  std::stop_source stop;
  stop.request_stop();
  Send({7, 1, 0, 0, 0, 0, 0, 0});  // waiting, but not taken
  Bytes buffer(8);
  EXPECT_EQ(device_->ReadReport(buffer, stop.get_token()).outcome, Outcome::Stopped);
  EXPECT_EQ(device_->ReadReport(buffer, {}).size, 8u);
}

TEST_F(Win32HidBusReadingTest, TheOtherEndGoingAwayEndsThePendingReadAsDisconnected) {
  EXPECT_EQ(ReadEndedBy([this](std::stop_source&) { DisconnectNamedPipe(server_.get()); }),
            Outcome::Disconnected);
}

}  // namespace
}  // namespace monitor::win32
