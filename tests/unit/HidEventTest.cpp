#include <gtest/gtest.h>

#include "device/HidEvent.h"
#include "fakes/FakeDeviceNotifications.h"
#include "fakes/FakeMainLoop.h"

namespace monitor {
namespace {

using std::chrono::milliseconds;

class HidEventTest : public ::testing::Test {
 protected:
  HidEventTest() {
    auto notifications = std::make_unique<fakes::FakeDeviceNotifications>();
    notifications_ = notifications.get();
    event_ = std::make_unique<TxaHIDEvent>(std::move(notifications), loop_);
    event_->OnDeviceArrival = [this](TxaHIDEvent& sender) {
      EXPECT_EQ(&sender, event_.get());
      ++arrivals_;
    };
    event_->OnDeviceRemove = [this](TxaHIDEvent&) { ++removals_; };
    event_->OnDeviceChange = [this](TxaHIDEvent&) { ++changes_; };
  }

  fakes::FakeMainLoop loop_;
  fakes::FakeDeviceNotifications* notifications_ = nullptr;
  std::unique_ptr<TxaHIDEvent> event_;
  int arrivals_ = 0;
  int removals_ = 0;
  int changes_ = 0;
};

TEST_F(HidEventTest, ListensToTheHidClassAndReportsOneArrivalAtStart) {
  EXPECT_EQ(notifications_->listenedClass, u"{4d1e55b2-f16f-11cf-88cb-001111000030}");
  loop_.AdvanceTime(milliseconds(1499));
  EXPECT_EQ(arrivals_, 0);
  loop_.AdvanceTime(milliseconds(1));
  EXPECT_EQ(arrivals_, 1);
  loop_.AdvanceTime(milliseconds(60000));
  EXPECT_EQ(arrivals_, 1);
  EXPECT_EQ(loop_.RunningTimers(), 0u);
}

TEST_F(HidEventTest, BroadcastsRaiseTheirEventForDeviceInterfacesOnly) {
  struct Case {
    const char* label;
    std::uint32_t event;
    std::optional<std::uint32_t> header;
    int arrivals, removals, changes;
  };
  const Case cases[] = {
      {"interface arrival", 0x8000, 5, 1, 0, 0}, {"volume arrival", 0x8000, 2, 0, 0, 0},
      {"port arrival", 0x8000, 3, 0, 0, 0},      {"interface removal", 0x8004, 5, 0, 1, 0},
      {"volume removal", 0x8004, 2, 0, 0, 0},    {"device tree changed", 0x0007, std::nullopt, 0, 0, 1},
      {"query remove", 0x8001, 5, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    arrivals_ = removals_ = changes_ = 0;
    notifications_->headerReads = 0;
    notifications_->Broadcast(c.event, c.header);
    EXPECT_EQ(arrivals_, c.arrivals);
    EXPECT_EQ(removals_, c.removals);
    EXPECT_EQ(changes_, c.changes);
    if (c.event == 0x0007) {
      EXPECT_EQ(notifications_->headerReads, 0);  // it carries no header to read
    }
  }
}

TEST_F(HidEventTest, ThreeInterfacesArrivingRaiseThreeArrivals) {
  for (int i = 0; i < 3; ++i) {
    notifications_->Broadcast(0x8000, 5);
  }
  EXPECT_EQ(arrivals_, 3);
}

TEST_F(HidEventTest, DestroyedBeforeTheStartArrivalLeavesNoTimer) {
  event_.reset();
  EXPECT_EQ(loop_.RunningTimers(), 0u);
  loop_.AdvanceTime(milliseconds(2000));
  EXPECT_EQ(arrivals_, 0);
}

}  // namespace
}  // namespace monitor
