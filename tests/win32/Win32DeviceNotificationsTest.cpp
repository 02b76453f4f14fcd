#include <gtest/gtest.h>
#include <windows.h>

#include <dbt.h>  // after <windows.h>, whose types it uses

#include <chrono>
#include <cstdint>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32/Win32DeviceNotifications.h"
#include "platform/win32/Win32MainLoop.h"
#include "win32/MessagePump.h"

namespace monitor::win32 {
namespace {

using namespace std::chrono_literals;

const std::u16string kHidInterfaceClass = u"{4d1e55b2-f16f-11cf-88cb-001111000030}";
// Long enough for a second copy of a posted broadcast to have come.
constexpr std::chrono::milliseconds kQuietPeriod = 200ms;

struct Received {
  std::uint32_t event;
  std::optional<std::uint32_t> headerDeviceType;

  friend bool operator==(const Received&, const Received&) = default;
};

void PrintTo(const Received& received, std::ostream* out) {
  *out << "{event 0x" << std::hex << received.event << ", header type ";
  if (received.headerDeviceType) {
    *out << std::dec << *received.headerDeviceType;
  } else {
    *out << "none";
  }
  *out << "}";
}

// The notifications on this thread with its main loop, and a callback that
// records each change with its header type, as the logic reads them.
class Win32DeviceNotificationsTest : public ::testing::Test {
 protected:
  bool ListenAndRecord(const std::u16string& interfaceClass) {
    return notifications_.Listen(interfaceClass, [this](const DeviceChange& change) {
      received_.push_back({change.event, change.headerDeviceType()});
    });
  }

  LRESULT Send(WPARAM event, const void* header) {
    return SendMessageW(notifications_.Window(), WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(header));
  }

  Win32MainLoop loop_;
  Win32DeviceNotifications notifications_;
  std::vector<Received> received_;
};

const Received kDeviceTreeChanged{kDeviceNodesChanged, std::nullopt};

// The device-tree change comes through the message loop, once, and has no
// header to read.
TEST_F(Win32DeviceNotificationsTest, ListeningForTheHidClassRegistersAndPostsOneDeviceTreeChange) {
  ASSERT_TRUE(ListenAndRecord(kHidInterfaceClass));
  EXPECT_TRUE(received_.empty()) << "delivered before the message loop ran";

  ASSERT_TRUE(PumpUntil(loop_, [&] { return !received_.empty(); }));
  PumpFor(loop_, kQuietPeriod);
  EXPECT_EQ(received_, std::vector<Received>{kDeviceTreeChanged});
}

TEST_F(Win32DeviceNotificationsTest, AClassThatIsNotAGuidFailsToRegisterButTheDeviceTreeChangeStillComes) {
  EXPECT_FALSE(ListenAndRecord(u"4d1e55b2-f16f-11cf-88cb-001111000030"));

  ASSERT_TRUE(PumpUntil(loop_, [&] { return !received_.empty(); }));
  PumpFor(loop_, kQuietPeriod);
  EXPECT_EQ(received_, std::vector<Received>{kDeviceTreeChanged});
}

struct BroadcastCase {
  const char* name;
  WPARAM event;
  std::optional<DWORD> headerDeviceType;  // none: the broadcast carries no header
};

void PrintTo(const BroadcastCase& broadcast, std::ostream* out) { *out << broadcast.name; }

class Win32DeviceNotificationsBroadcast : public Win32DeviceNotificationsTest,
                                          public ::testing::WithParamInterface<BroadcastCase> {};

// The broadcasts the system sends to a registered top-level window; the
// logic, not the adapter, tells an interface from a volume.
TEST_P(Win32DeviceNotificationsBroadcast, ReachesTheCallbackWithItsEventAndHeaderType) {
  const BroadcastCase& broadcast = GetParam();
  ASSERT_TRUE(ListenAndRecord(kHidInterfaceClass));
  // Room for the largest header sent: an interface header with its name.
  DEV_BROADCAST_DEVICEINTERFACE_W header{};
  header.dbcc_size = sizeof header;
  header.dbcc_devicetype = broadcast.headerDeviceType.value_or(0);

  EXPECT_EQ(Send(broadcast.event, broadcast.headerDeviceType ? &header : nullptr), 0);
  EXPECT_EQ(
      received_,
      (std::vector<Received>{{static_cast<std::uint32_t>(broadcast.event), broadcast.headerDeviceType}}));
}

INSTANTIATE_TEST_SUITE_P(
    Windows, Win32DeviceNotificationsBroadcast,
    ::testing::Values(BroadcastCase{"InterfaceArrival", DBT_DEVICEARRIVAL, DBT_DEVTYP_DEVICEINTERFACE},
                      BroadcastCase{"VolumeArrival", DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME},
                      BroadcastCase{"InterfaceRemoval", DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_DEVICEINTERFACE},
                      BroadcastCase{"DeviceTreeChange", DBT_DEVNODES_CHANGED, std::nullopt}),
    [](const ::testing::TestParamInfo<BroadcastCase>& testCase) { return std::string(testCase.param.name); });

// The system sends its device-tree changes to every top-level window; a
// message-only window would never hear them.
TEST_F(Win32DeviceNotificationsTest, TheWindowHearsBroadcastsToAllTopLevelWindows) {
  constexpr UINT kWaitPerWindowMs = 5000;
  ASSERT_TRUE(ListenAndRecord(kHidInterfaceClass));
  PumpFor(loop_, kQuietPeriod);
  received_.clear();

  SendMessageTimeoutW(HWND_BROADCAST, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0, SMTO_ABORTIFHUNG,
                      kWaitPerWindowMs, nullptr);
  EXPECT_EQ(received_, std::vector<Received>{kDeviceTreeChanged});
  EXPECT_FALSE(IsWindowVisible(notifications_.Window()));
}

// Broadcasts other than arrival and removal may carry a value that is no
// address at all; a callback that does not ask never makes it read.
TEST_F(Win32DeviceNotificationsTest, TheHeaderIsReadOnlyWhenAskedFor) {
  constexpr LPARAM kNotAnAddress = 1;
  std::vector<std::uint32_t> events;
  notifications_.Listen(kHidInterfaceClass,
                        [&](const DeviceChange& change) { events.push_back(change.event); });

  SendMessageW(notifications_.Window(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, kNotAnAddress);
  EXPECT_EQ(events, std::vector<std::uint32_t>{kDeviceNodesChanged});
}

TEST_F(Win32DeviceNotificationsTest, AnExceptionFromTheCallbackStaysInTheWindowProcedure) {
  int calls = 0;
  notifications_.Listen(kHidInterfaceClass, [&](const DeviceChange&) {
    ++calls;
    throw std::runtime_error("the logic failed");
  });
  DEV_BROADCAST_HDR header{sizeof header, DBT_DEVTYP_DEVICEINTERFACE, 0};

  LRESULT result = -1;
  EXPECT_NO_THROW(result = Send(DBT_DEVICEARRIVAL, &header));
  EXPECT_EQ(result, 0);
  // The window keeps delivering: the posted device-tree change comes too.
  EXPECT_TRUE(PumpUntil(loop_, [&] { return calls == 2; }));
}

}  // namespace
}  // namespace monitor::win32
