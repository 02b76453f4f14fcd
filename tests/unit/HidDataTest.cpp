#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "device/DeviceUpload.h"
#include "device/HidData.h"
#include "fakes/FakeEnvironment.h"
#include "fakes/FakeMainLoop.h"
#include "fakes/ProfileWorld.h"
#include "fakes/SimulatedHidBus.h"

namespace monitor {
namespace {

using Bytes = std::vector<std::uint8_t>;
using fakes::MouseVendorCapabilities;

const std::u16string kMouseId = u"HID\\VID_1D57&PID_FA60&REV_0100&MI_01&Col01";
const std::u16string kMouseIdWithoutRevision = u"HID\\VID_1D57&PID_FA60&MI_01&Col01";

struct Received {
  std::u16string deviceId;
  std::u16string devicePath;
  std::uint8_t reportId;
  Bytes data;
  std::thread::id thread;
};

class HidDataTest : public ::testing::Test {
 protected:
  fakes::SimulatedInterface& AddMouse(const std::u16string& path,
                                      HidCapabilities caps = MouseVendorCapabilities()) {
    return bus_.AddInterface({path, {kMouseId, kMouseIdWithoutRevision}}, caps);
  }

  std::unique_ptr<TxaHIDData> Make(std::vector<std::u16string> includeList = {}) {
    auto hid = std::make_unique<TxaHIDData>(bus_, loop_, debug_, std::move(includeList));
    hid->OnData = [this](const std::u16string& id, const std::u16string& path, std::uint8_t reportId,
                         std::span<const std::uint8_t> data) {
      std::lock_guard lock(mutex_);
      received_.push_back({id, path, reportId, {data.begin(), data.end()}, std::this_thread::get_id()});
    };
    return hid;
  }

  std::size_t ReceivedCount() {
    std::lock_guard lock(mutex_);
    return received_.size();
  }

  static THIDDataParam FeatureBlock(std::size_t size) {
    THIDDataParam block;
    block.UsageAndPage = kMouseVendorCollection;
    block.Data.assign(size, 0xAB);
    block.Data[0] = 3;
    block.DATASIZE = static_cast<std::uint32_t>(size);
    return block;
  }

  fakes::SimulatedHidBus bus_;
  fakes::FakeMainLoop loop_;
  fakes::FakeDebugOutput debug_;
  std::mutex mutex_;
  std::vector<Received> received_;
};

TEST_F(HidDataTest, IncludeListNamesWholeHardwareIdsInAnyCase) {
  AddMouse(u"\\\\?\\hid#mouse");
  struct Case {
    const char* label;
    std::vector<std::u16string> includeList;
    bool found;
  };
  const Case cases[] = {
      {"empty list accepts every device", {}, true},
      {"exact id", {kMouseId}, true},
      {"id in other letter case", {u"hid\\vid_1d57&pid_fa60&rev_0100&mi_01&col01"}, true},
      {"second id of the device", {u"HID\\Other", kMouseIdWithoutRevision}, true},
      {"only the start of an id", {u"HID\\VID_1D57&PID_FA60"}, false},
      {"another device", {u"HID\\VID_0000&PID_0000"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(Make(c.includeList)->IsDeviceExist(FeatureBlock(16)), c.found);
  }
}

TEST_F(HidDataTest, OnlyInterfacesOfTheRequestedCollectionMatch) {
  HidCapabilities keyboard = MouseVendorCapabilities();
  keyboard.usagePage = 0x0001;
  keyboard.usage = 0x0006;
  auto& other = AddMouse(u"keyboard", keyboard);
  auto& broken = AddMouse(u"broken");
  broken.failCapabilities = true;
  const auto hid = Make();
  EXPECT_FALSE(hid->IsDeviceExist(FeatureBlock(16)));
  hid->HidFindAndReadDevice(kMouseVendorCollection, u"*");
  EXPECT_EQ(hid->ReaderCount(), 0u);
  EXPECT_EQ(other.OpenHandles() + broken.OpenHandles(), 0);  // every candidate is closed again
}

TEST_F(HidDataTest, ReportsReachOnDataOnTheMainThreadOneAtATime) {
  auto& mouse = AddMouse(u"mouse");
  const auto hid = Make();
  hid->HidFindAndReadDevice(kMouseVendorCollection, u"*");
  ASSERT_EQ(hid->ReaderCount(), 1u);

  mouse.SendInput({7, 0x80, 0, 0, 1, 2, 3, 4});
  mouse.SendInput({8, 1, 1, 0, 0, 0, 0, 0});
  ASSERT_TRUE(loop_.RunUntil([&] { return ReceivedCount() == 1; }));
  // The reader waits for its hand-off, so the second report is not read yet.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(ReceivedCount(), 1u);
  ASSERT_TRUE(loop_.RunUntil([&] { return ReceivedCount() == 2; }));

  EXPECT_EQ(received_[0].reportId, 7);
  EXPECT_EQ(received_[0].data, (Bytes{0x80, 0, 0, 1, 2, 3, 4}));
  EXPECT_EQ(received_[0].deviceId, kMouseId);
  EXPECT_EQ(received_[0].devicePath, u"mouse");
  EXPECT_EQ(received_[0].thread, std::this_thread::get_id());
  EXPECT_EQ(received_[1].reportId, 8);
}

TEST_F(HidDataTest, EachInterfaceGetsItsOwnReader) {
  auto& first = AddMouse(u"first");
  auto& second = AddMouse(u"second");
  const auto hid = Make();
  hid->HidFindAndReadDevice(kMouseVendorCollection, u"*");
  EXPECT_EQ(hid->ReaderCount(), 2u);

  second.SendInput({7, 1, 0, 0, 0, 0, 0, 0});
  ASSERT_TRUE(loop_.RunUntil([&] { return ReceivedCount() == 1; }));
  first.SendInput({7, 2, 0, 0, 0, 0, 0, 0});
  ASSERT_TRUE(loop_.RunUntil([&] { return ReceivedCount() == 2; }));
  EXPECT_EQ(received_[0].devicePath, u"second");
  EXPECT_EQ(received_[1].devicePath, u"first");
}

TEST_F(HidDataTest, ReopeningLeavesOneReaderPerInterfaceAndLeaksNothing) {
  auto& mouse = AddMouse(u"mouse");
  const auto hid = Make();
  for (int i = 0; i < 1000; ++i) {
    hid->HidStopRead();
    hid->HidFindAndReadDevice(kMouseVendorCollection, u"*");
  }
  EXPECT_EQ(hid->ReaderCount(), 1u);
  EXPECT_EQ(mouse.OpenHandles(), 1);
  hid->HidStopRead();
  EXPECT_EQ(hid->ReaderCount(), 0u);
  EXPECT_EQ(mouse.OpenHandles(), 0);

  // Without a stop, every call adds readers.
  hid->HidFindAndReadDevice(kMouseVendorCollection, u"*");
  hid->HidFindAndReadDevice(kMouseVendorCollection, u"*");
  EXPECT_EQ(hid->ReaderCount(), 2u);
}

TEST_F(HidDataTest, StopEndsAReaderWaitingForItsHandOff) {
  auto& mouse = AddMouse(u"mouse");
  const auto hid = Make();
  hid->HidFindAndReadDevice(kMouseVendorCollection, u"*");
  mouse.SendInput({7, 0x80, 0, 0, 0, 0, 0, 0});
  // Wait until the report is queued for the main thread, without running it.
  for (int i = 0; i < 500 && mouse.readCalls < 2; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  hid->HidStopRead();  // must not wait for the main thread, which is this one
  EXPECT_EQ(mouse.OpenHandles(), 0);
  loop_.RunPending();
  EXPECT_EQ(ReceivedCount(), 0u);  // a report given up by its reader is dropped
}

TEST_F(HidDataTest, UnplugEndsTheReaderAndTellsOnce) {
  auto& mouse = AddMouse(u"mouse");
  const auto hid = Make();
  std::atomic<int> notConnected = 0;
  hid->OnDeviceNotConnected = [&](const std::u16string& id, const std::u16string& path) {
    EXPECT_EQ(id, kMouseId);
    EXPECT_EQ(path, u"mouse");
    ++notConnected;
  };
  hid->HidFindAndReadDevice(kMouseVendorCollection, u"*");
  mouse.Unplug();
  for (int i = 0; i < 2000 && hid->ReaderCount() > 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(hid->ReaderCount(), 0u);
  EXPECT_EQ(notConnected, 1);
  EXPECT_EQ(mouse.OpenHandles(), 0);
  EXPECT_EQ(debug_.lines, std::vector<std::u16string>{u"ERROR_DEVICE_NOT_CONNECTED++++++++++++++++"});
}

TEST_F(HidDataTest, ReportsOfAnyLengthStayInsideTheBuffer) {
  auto& mouse = AddMouse(u"mouse");
  mouse.claimedExtraBytes = 100;  // a faulty device overstating what it read
  const auto hid = Make();
  hid->HidFindAndReadDevice(kMouseVendorCollection, u"*");
  mouse.SendInput({7, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});  // longer than its declared 8 bytes
  mouse.SendInput({9});
  ASSERT_TRUE(loop_.RunUntil([&] { return ReceivedCount() == 2; }));
  EXPECT_EQ(received_[0].data, (Bytes{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(received_[1].reportId, 9);
  EXPECT_EQ(received_[1].data.size(), 7u);  // the rest of the zeroed buffer
}

TEST_F(HidDataTest, FastOnDataDeliversOnTheReaderThread) {
  auto& mouse = AddMouse(u"mouse");
  const auto hid = Make();
  hid->FastOnData = true;
  hid->HidFindAndReadDevice(kMouseVendorCollection, u"*");
  mouse.SendInput({7, 0x80, 0, 0, 0, 0, 0, 0});
  for (int i = 0; i < 2000 && ReceivedCount() == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_EQ(ReceivedCount(), 1u);
  EXPECT_NE(received_[0].thread, std::this_thread::get_id());
  EXPECT_EQ(loop_.RunPending(), 0);
}

TEST_F(HidDataTest, ParsedDataReportsReleasesFirstThenPresses) {
  auto& mouse = AddMouse(u"mouse");
  const auto hid = Make();
  std::vector<std::uint32_t> changes;
  hid->OnParsedData = [&](const std::u16string&, const std::u16string&, std::uint8_t,
                          std::uint32_t buttonData) { changes.push_back(buttonData); };
  hid->HidFindAndReadDevice(kMouseVendorCollection, u"*");
  const std::vector<std::vector<HidUsage>> usages = {{{3, 9}}, {{3, 9}, {5, 9}}, {{5, 9}}, {}};
  for (const auto& set : usages) {
    mouse.buttonUsages = set;
    mouse.SendInput({1, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(
        loop_.RunUntil([&] { return changes.size() == static_cast<std::size_t>(&set - &usages[0] + 1); }));
  }
  EXPECT_EQ(changes, (std::vector<std::uint32_t>{3u << 16, 5u << 16, 3u, 5u}));
}

TEST_F(HidDataTest, AFailingDeviceDoesNotSpinItsReader) {
  auto& mouse = AddMouse(u"mouse");
  mouse.failEveryRead = true;
  const auto hid = Make();
  hid->HidFindAndReadDevice(kMouseVendorCollection, u"*");
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  hid->HidStopRead();
  EXPECT_LT(mouse.readCalls, 1000);
  EXPECT_GT(mouse.readCalls, 0);
}

TEST_F(HidDataTest, FeatureReportsGoOnlyWhereTheyFit) {
  HidCapabilities small = MouseVendorCapabilities();
  small.featureReportLength = 64;
  auto& smallMouse = AddMouse(u"small", small);
  const auto hid = Make();

  THIDDataParam large = FeatureBlock(1024);
  EXPECT_EQ(hid->HidFindAndSetFeatureReport(large), 1167u);  // no interface served
  EXPECT_TRUE(smallMouse.FeatureReports().empty());

  THIDDataParam fits = FeatureBlock(64);
  EXPECT_EQ(hid->HidFindAndSetFeatureReport(fits), 0u);
  ASSERT_EQ(smallMouse.FeatureReports().size(), 1u);
  EXPECT_EQ(smallMouse.FeatureReports()[0], fits.Data);

  auto& bigMouse = AddMouse(u"big");
  EXPECT_EQ(hid->HidFindAndSetFeatureReport(large), 0u);
  EXPECT_EQ(bigMouse.FeatureReports().size(), 1u);
  EXPECT_EQ(smallMouse.FeatureReports().size(), 1u);

  // A size the block does not hold is refused without sending anything.
  THIDDataParam lying = FeatureBlock(16);
  lying.DATASIZE = 64;
  EXPECT_NE(hid->HidFindAndSetFeatureReport(lying), 0u);
  EXPECT_EQ(smallMouse.FeatureReports().size(), 1u);
}

TEST_F(HidDataTest, FeatureReadsCopyTheAnswerIntoTheBlock) {
  auto& mouse = AddMouse(u"mouse");
  mouse.featureToReturn = {3, 9, 8, 7};
  const auto hid = Make();
  THIDDataParam block = FeatureBlock(16);
  EXPECT_EQ(hid->HidFindAndGetFeatureReport(block), 0u);
  EXPECT_EQ(Bytes(block.Data.begin(), block.Data.begin() + 5), (Bytes{3, 9, 8, 7, 0}));
}

TEST_F(HidDataTest, OutputWritesSendTheIdAndTheirDataBytes) {
  auto& mouse = AddMouse(u"mouse");
  const auto hid = Make();
  THIDDataParam block = FeatureBlock(8);
  block.DATASIZE = 7;  // data bytes after the ID
  EXPECT_TRUE(hid->HidFindAndWriteDevice(block));
  ASSERT_EQ(mouse.OutputReports().size(), 1u);
  EXPECT_EQ(mouse.OutputReports()[0].size(), 8u);

  block.DATASIZE = 8;  // nine bytes are more than the block holds
  EXPECT_FALSE(hid->HidFindAndWriteDevice(block));

  // Without the include list, by hardware id: exactly DATASIZE bytes.
  const auto strict = Make({u"HID\\VID_0000&PID_0000"});
  THIDDataParam byId = FeatureBlock(8);
  byId.DeviceID = u"HID\\VID_0000&PID_0000";
  EXPECT_FALSE(strict->HidFindAndWriteDeviceBYHID(byId));
  byId.DeviceID = kMouseIdWithoutRevision;
  EXPECT_TRUE(strict->HidFindAndWriteDeviceBYHID(byId));
  byId.DeviceID = u"*";
  EXPECT_TRUE(strict->HidFindAndWriteDeviceBYHID(byId));
  EXPECT_EQ(mouse.OutputReports().size(), 3u);
  EXPECT_EQ(mouse.OutputReports()[2].size(), 8u);
}

TEST_F(HidDataTest, AnUploadReachesTheMouseAsFeatureReports) {
  auto& mouse = AddMouse(u"mouse");
  ProfileWorld world;
  const auto dm = world.Start();
  const auto hid = Make();
  int pumps = 0;
  UploadProfileToDevice(dm->FCurrentProfileInfo, 0, *hid, dm->FHidUsageAndPage, [&] { ++pumps; });

  const auto reports = mouse.FeatureReports();
  ASSERT_EQ(reports.size(), 4u);
  EXPECT_EQ(reports[0], (Bytes{2, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(reports[1].size(), 1024u);
  EXPECT_EQ(Bytes(reports[1].begin(), reports[1].begin() + 8), (Bytes{4, 2, 144, 0, 65, 0, 0xFA, 0xFA}));
  EXPECT_EQ(reports[2].size(), 64u);
  EXPECT_EQ(reports[3][2], 1);  // transaction end
  EXPECT_EQ(pumps, 2);
}

TEST_F(HidDataTest, HandOffsQueuedForAComponentThatIsGoneAreDropped) {
  auto& mouse = AddMouse(u"mouse");
  auto hid = Make();
  hid->HidFindAndReadDevice(kMouseVendorCollection, u"*");
  mouse.SendInput({7, 0x80, 0, 0, 0, 0, 0, 0});
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  hid.reset();
  loop_.RunPending();
  EXPECT_EQ(ReceivedCount(), 0u);
}

}  // namespace
}  // namespace monitor
