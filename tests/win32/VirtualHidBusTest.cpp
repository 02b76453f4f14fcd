#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "device/HidData.h"
#include "device/UsageAndPage.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/VirtualHidBus.h"
#include "platform/win32/VirtualMousePipes.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32DebugOutput.h"
#include "platform/win32/Win32MainLoop.h"
#include "win32/MessagePump.h"
#include "win32/ScratchFolder.h"
#include "win32/VirtualMouseProcess.h"

namespace monitor::win32 {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Outcome = HidReadResult::Outcome;

// Guards against a read that never ends; not a speed requirement.
constexpr auto kReadGuard = std::chrono::seconds(20);
// Long enough for the read to be pending when the stop comes.
constexpr auto kLetTheReadStart = std::chrono::milliseconds(300);

const std::u16string kPath = FromWide(virtual_mouse::kDevicePipeName);

struct Read {
  Outcome outcome;
  Bytes bytes;
};

// One report into a buffer of the given size. A read still pending after
// the guard time is stopped, so a broken transport fails instead of hanging.
Read ReadOne(HidDevice& device, std::size_t bufferSize = 8) {
  std::stop_source guard;
  std::promise<void> finished;
  std::thread watchdog([&guard, done = finished.get_future()] {
    if (done.wait_for(kReadGuard) == std::future_status::timeout) {
      guard.request_stop();
    }
  });
  Bytes buffer(bufferSize, 0xEE);
  const HidReadResult result = device.ReadReport(buffer, guard.get_token());
  finished.set_value();
  watchdog.join();
  EXPECT_LE(result.size, buffer.size());
  buffer.resize(std::min(result.size, buffer.size()));
  return {result.outcome, buffer};
}

// A read on its own thread, for the tests that end it from outside.
class PendingRead {
 public:
  explicit PendingRead(HidDevice& device)
      : result_(std::async(std::launch::async, [&device, stop = stop_.get_token()] {
          Bytes buffer(8);
          return device.ReadReport(buffer, stop);
        })) {
    std::this_thread::sleep_for(kLetTheReadStart);
  }

  void Stop() { stop_.request_stop(); }

  // The outcome, or nullopt when the read did not end in time.
  std::optional<Outcome> Result() {
    if (result_.wait_for(kReadGuard) != std::future_status::ready) {
      // Free the reader so the test can end.
      VirtualMouseProcess::Command(L"unplug");
      return std::nullopt;
    }
    return result_.get().outcome;
  }

 private:
  std::stop_source stop_;
  std::future<HidReadResult> result_;
};

std::vector<std::string> LogLines(const std::wstring& path) {
  const UniqueHandle file = OwnFileHandle(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string text(1 << 20, '\0');
  DWORD read = 0;
  if (!file || !ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr)) {
    ADD_FAILURE() << "cannot read the log, error " << GetLastError();
  }
  text.resize(read);
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    lines.push_back(line);
  }
  return lines;
}

std::string LastLine(const std::wstring& log) {
  const auto lines = LogLines(log);
  return lines.empty() ? std::string() : lines.back();
}

// A feature report as the upload sends it: a memory write of the factory
// macro's 21 bytes at 209, in report 3 of 64 bytes.
Bytes MacroWriteReport() {
  constexpr std::uint8_t kCommand[] = {3,    0x02, 0xD1, 0x00, 21,   0,    0xFA, 0xFA, 0x81, 0x01,
                                       0x01, 0x06, 0x01, 0x00, 0x01, 0x01, 0x01, 0x06, 0x02, 0x00,
                                       0x81, 0x01, 0x01, 0x06, 0x01, 0x00, 0x01, 0x01, 0x01};
  Bytes report(64, 0);
  std::copy(std::begin(kCommand), std::end(kCommand), report.begin());
  return report;
}

TEST(VirtualMouseAbsent, NothingIsListedAndCommandsFail) {
  VirtualHidBus bus;
  EXPECT_TRUE(bus.EnumerateInterfaces().empty());
  EXPECT_EQ(bus.Open(kPath, HidAccess::Reading), nullptr);
  EXPECT_EQ(bus.Open(kPath, HidAccess::Exchange), nullptr);
  EXPECT_NE(VirtualMouseProcess::Command(L"press 7"), 0u);
  EXPECT_NE(VirtualMouseProcess::Command(L"quit"), 0u);
}

// One mouse serves the whole suite, with its default feature length.
class VirtualHidBusTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    log_ = ToWide(ScratchFolder()) + L"\\mouse.log";
    mouse_ = new VirtualMouseProcess;
    mouse_->Start(L"--log \"" + log_ + L"\"");
  }
  static void TearDownTestSuite() {
    EXPECT_EQ(mouse_->Quit(), 0u);
    delete mouse_;
    mouse_ = nullptr;
  }

  std::unique_ptr<HidDevice> Open(HidAccess access) {
    auto device = bus_.Open(kPath, access);
    EXPECT_NE(device, nullptr);
    return device;
  }

  static void Command(const std::wstring& arguments) {
    EXPECT_EQ(VirtualMouseProcess::Command(arguments), 0u) << "VirtualMouse " << Narrow(arguments);
  }

  static std::string Narrow(const std::wstring& text) { return {text.begin(), text.end()}; }

  static inline VirtualMouseProcess* mouse_ = nullptr;
  static inline std::wstring log_;
  VirtualHidBus bus_;
};

TEST_F(VirtualHidBusTest, ListsTheOneInterfaceWithItsIdsAndCapabilities) {
  const auto interfaces = bus_.EnumerateInterfaces();
  ASSERT_EQ(interfaces.size(), 1u);
  EXPECT_EQ(interfaces[0].path, kPath);
  EXPECT_EQ(interfaces[0].hardwareIds,
            (std::vector<std::u16string>{u"HID\\VID_F0E5&PID_0B07&REV_0100&MI_01&Col01",
                                         u"HID\\VID_F0E5&PID_0B07&MI_01&Col01"}));
  for (const HidAccess access : {HidAccess::Exchange, HidAccess::Reading}) {
    const auto device = Open(access);
    ASSERT_NE(device, nullptr);
    const auto caps = device->Capabilities();
    ASSERT_TRUE(caps);
    EXPECT_EQ(caps->usage, 0x0001);
    EXPECT_EQ(caps->usagePage, 0xFFA0);
    EXPECT_EQ(caps->inputReportLength, 8);
    EXPECT_EQ(caps->outputReportLength, 8);
    EXPECT_EQ(caps->featureReportLength, 1024);
    EXPECT_EQ(device->ButtonUsages(Bytes(8, 0)), std::vector<HidUsage>{});
  }
  EXPECT_EQ(bus_.Open(u"\\\\.\\pipe\\GamingMouseMonitor.Other", HidAccess::Exchange), nullptr);
}

TEST_F(VirtualHidBusTest, ASecondMouseDoesNotStart) {
  EXPECT_NE(VirtualMouseProcess::Command(L"run"), 0u);
  EXPECT_EQ(bus_.EnumerateInterfaces().size(), 1u);
}

TEST_F(VirtualHidBusTest, AReaderReceivesButtonAndProfileReports) {
  const auto reader = Open(HidAccess::Reading);
  ASSERT_NE(reader, nullptr);
  const struct {
    const wchar_t* command;
    Bytes report;
  } cases[] = {
      {L"press 7", {0x07, 0x80, 0, 0, 0, 0, 0, 0}},      {L"press 23", {0x07, 0, 0, 0x80, 0, 0, 0, 0}},
      {L"release", {0x07, 0, 0, 0, 0, 0, 0, 0}},         {L"profile 1", {0x08, 0x01, 0x01, 0, 0, 0, 0, 0}},
      {L"profile 0", {0x08, 0x01, 0x00, 0, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.command));
    Command(c.command);
    const Read read = ReadOne(*reader);
    EXPECT_EQ(read.outcome, Outcome::Report);
    EXPECT_EQ(read.bytes, c.report);
  }
}

TEST_F(VirtualHidBusTest, ReportsOfAnyLengthUpToTheInputLengthArriveWithinTheBuffer) {
  const auto reader = Open(HidAccess::Reading);
  ASSERT_NE(reader, nullptr);

  Command(L"report 07 80");
  EXPECT_EQ(ReadOne(*reader).bytes, (Bytes{0x07, 0x80}));

  Command(L"report 0102030405060708");
  const Read cut = ReadOne(*reader, 3);
  EXPECT_EQ(cut.outcome, Outcome::Report);
  EXPECT_EQ(cut.bytes, (Bytes{1, 2, 3}));

  // Longer than the interface's input report: refused, nothing is sent.
  EXPECT_NE(VirtualMouseProcess::Command(L"report 070000000000000000"), 0u);
  Command(L"press 1");
  EXPECT_EQ(ReadOne(*reader).bytes, (Bytes{0x07, 0x02, 0, 0, 0, 0, 0, 0}));
}

TEST_F(VirtualHidBusTest, TwoReadersBothReceiveTheReport) {
  const auto first = Open(HidAccess::Reading);
  const auto second = Open(HidAccess::Reading);
  ASSERT_TRUE(first && second);
  Command(L"press 5");
  const Bytes expected{0x07, 0x20, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(ReadOne(*first).bytes, expected);
  EXPECT_EQ(ReadOne(*second).bytes, expected);
}

TEST_F(VirtualHidBusTest, StopEndsAPendingReadAndTheReaderReadsOnAfterwards) {
  const auto reader = Open(HidAccess::Reading);
  ASSERT_NE(reader, nullptr);
  PendingRead pending(*reader);
  pending.Stop();
  EXPECT_EQ(pending.Result(), Outcome::Stopped);

  Command(L"press 3");
  const Read next = ReadOne(*reader);
  EXPECT_EQ(next.outcome, Outcome::Report);
  EXPECT_EQ(next.bytes, (Bytes{0x07, 0x08, 0, 0, 0, 0, 0, 0}));
}

TEST_F(VirtualHidBusTest, UnplugEndsAPendingReadAsDisconnected) {
  const auto reader = Open(HidAccess::Reading);
  ASSERT_NE(reader, nullptr);
  PendingRead pending(*reader);
  Command(L"unplug");
  EXPECT_EQ(pending.Result(), Outcome::Disconnected);
  EXPECT_EQ(ReadOne(*reader).outcome, Outcome::Disconnected);

  // Plugged in again at once: new connections work.
  const auto again = Open(HidAccess::Reading);
  ASSERT_NE(again, nullptr);
  Command(L"press 0");
  EXPECT_EQ(ReadOne(*again).bytes, (Bytes{0x07, 0x01, 0, 0, 0, 0, 0, 0}));
}

TEST_F(VirtualHidBusTest, FeatureReportsAreLoggedDecodedAndReadBack) {
  const std::string written =
      "feature report 3, 64 bytes: write memory at 0x00D1, 21 bytes: "
      "81 01 01 06 01 00 01 01 01 06 02 00 81 01 01 06 01 00 01 01 01";
  // Through an exchange connection, and through a reader, which exchanges
  // on a connection of its own.
  for (const HidAccess access : {HidAccess::Exchange, HidAccess::Reading}) {
    SCOPED_TRACE(access == HidAccess::Exchange ? "exchange" : "reading");
    const auto device = Open(access);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->SetFeature(MacroWriteReport()), 0u);
    EXPECT_EQ(LastLine(log_), written);

    Bytes readBack(64, 0);
    readBack[0] = 3;
    EXPECT_EQ(device->GetFeature(readBack), 0u);
    EXPECT_EQ(readBack, MacroWriteReport());
  }

  const auto device = Open(HidAccess::Exchange);
  ASSERT_NE(device, nullptr);
  Bytes begin(16, 0);
  begin[0] = 2;
  begin[1] = 0x06;
  EXPECT_EQ(device->SetFeature(begin), 0u);
  EXPECT_EQ(LastLine(log_), "feature report 2, 16 bytes: transaction begin");
  EXPECT_EQ(device->WriteOutput(Bytes{0x09, 1, 2}), 0u);
  EXPECT_EQ(LastLine(log_), "output report 09 01 02");
}

// The device component above the virtual bus, as the monitor runs it: its
// feature report reaches the mouse, and the mouse's button report reaches
// OnData on the main thread.
TEST_F(VirtualHidBusTest, TheDeviceComponentTalksToTheMouseBothWays) {
  Win32MainLoop loop;
  Win32DebugOutput debug;
  TxaHIDData hid(bus_, loop, debug, {});
  std::vector<Bytes> received;
  std::vector<DWORD> threads;
  hid.OnData = [&](const std::u16string&, const std::u16string&, std::uint8_t reportId,
                   std::span<const std::uint8_t> data) {
    Bytes report{reportId};
    report.insert(report.end(), data.begin(), data.end());
    received.push_back(report);
    threads.push_back(GetCurrentThreadId());
  };
  hid.HidFindAndReadDevice(kMouseVendorCollection, u"*");

  THIDDataParam block;
  block.UsageAndPage = kMouseVendorCollection;
  block.Data = MacroWriteReport();
  block.DATASIZE = static_cast<std::uint32_t>(block.Data.size());
  EXPECT_EQ(hid.HidFindAndSetFeatureReport(block), 0u);
  EXPECT_EQ(LastLine(log_),
            "feature report 3, 64 bytes: write memory at 0x00D1, 21 bytes: "
            "81 01 01 06 01 00 01 01 01 06 02 00 81 01 01 06 01 00 01 01 01");

  PumpFor(loop, kLetTheReadStart);
  Command(L"press 7");
  ASSERT_TRUE(PumpUntil(loop, [&] { return !received.empty(); }));
  EXPECT_EQ(received[0], (Bytes{0x07, 0x80, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(threads[0], GetCurrentThreadId());
  hid.HidStopRead();
  Command(L"release");
}

TEST_F(VirtualHidBusTest, ReportsLongerThanTheInterfaceDeclaresAreRefused) {
  const auto device = Open(HidAccess::Exchange);
  ASSERT_NE(device, nullptr);
  Bytes longest(1024, 0);
  longest[0] = 4;
  EXPECT_EQ(device->SetFeature(longest), 0u);

  Bytes tooLong(1025, 0);
  tooLong[0] = 4;
  EXPECT_NE(device->SetFeature(tooLong), 0u);
  EXPECT_EQ(LastLine(log_).rfind("refused feature report 4, 1025 bytes", 0), 0u) << LastLine(log_);
  EXPECT_NE(device->GetFeature(tooLong), 0u);
  EXPECT_NE(device->WriteOutput(Bytes(9, 0)), 0u);
}

TEST(VirtualMouseOptions, FeatureLengthSetsTheDeclaredLengthAndTheLimit) {
  VirtualMouseProcess mouse;
  ASSERT_TRUE(mouse.Start(L"--feature-length 64"));
  VirtualHidBus bus;
  const auto device = bus.Open(kPath, HidAccess::Exchange);
  ASSERT_NE(device, nullptr);
  const auto caps = device->Capabilities();
  ASSERT_TRUE(caps);
  EXPECT_EQ(caps->featureReportLength, 64);
  EXPECT_EQ(device->SetFeature(MacroWriteReport()), 0u);
  Bytes tooLong(65, 0);
  tooLong[0] = 3;
  EXPECT_NE(device->SetFeature(tooLong), 0u);
  EXPECT_EQ(mouse.Quit(), 0u);
}

}  // namespace
}  // namespace monitor::win32
