#include "device/HidReader.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "device/HidData.h"

namespace monitor {
namespace {

// A device that fails every read at once would otherwise spin the reader.
constexpr auto kPauseAfterFailedRead = std::chrono::milliseconds(10);

// One report handed to the main thread. The reader waits until it has been
// delivered, or gives it up when it is stopped; a report given up before
// its delivery started is dropped. It carries everything the delivery
// needs, so the delivery never touches the reader.
struct HandOff {
  TxaHidDeviceReadThread::Delivery delivery;
  std::mutex mutex;
  std::condition_variable_any changed;
  bool started = false;
  bool done = false;
  bool abandoned = false;
};

}  // namespace

TxaHidDeviceReadThread::TxaHidDeviceReadThread(TxaHIDData& hidData, std::unique_ptr<HidDevice> device,
                                               std::u16string deviceId, std::u16string devicePath,
                                               std::size_t inputReportLength)
    : FHIDData(hidData),
      FDevice(std::move(device)),
      FDeviceID(std::move(deviceId)),
      FDevicePath(std::move(devicePath)),
      FReport(inputReportLength),
      thread_([this](std::stop_token stop) { Execute(stop); }) {}

TxaHidDeviceReadThread::~TxaHidDeviceReadThread() {
  thread_.request_stop();
  if (thread_.joinable()) {
    thread_.join();
  }
}

void TxaHidDeviceReadThread::Execute(std::stop_token stop) {
  while (!stop.stop_requested()) {
    std::ranges::fill(FReport, std::uint8_t{0});
    const HidReadResult result = FDevice->ReadReport(FReport, stop);
    if (result.outcome == HidReadResult::Outcome::Stopped) {
      break;
    }
    if (result.outcome == HidReadResult::Outcome::Disconnected) {
      FHIDData.debug_.Write(u"ERROR_DEVICE_NOT_CONNECTED++++++++++++++++");
      if (FHIDData.OnDeviceNotConnected) {
        FHIDData.OnDeviceNotConnected(FDeviceID, FDevicePath);
      }
      break;
    }
    if (result.outcome == HidReadResult::Outcome::Failed) {
      std::mutex pause;
      std::unique_lock lock(pause);
      std::condition_variable_any().wait_for(lock, stop, kPauseAfterFailedRead, [] { return false; });
      continue;
    }
    // Never more than the buffer, whatever the device claims.
    const std::size_t size = std::min(result.size, FReport.size());
    if (size > 0) {
      Deliver(std::span<const std::uint8_t>(FReport).first(size), stop);
    }
  }
  FDevice.reset();  // the pending read was cancelled by the stop; now close
  finished_ = true;
}

void TxaHidDeviceReadThread::Deliver(std::span<const std::uint8_t> report, std::stop_token stop) {
  Delivery delivery{FDeviceID, FDevicePath, {report.begin(), report.end()}, 0};
  if (FHIDData.OnParsedData) {
    delivery.buttonData = ButtonChange(report);
  }
  if (FHIDData.FastOnData) {
    Dispatch(FHIDData, delivery);
    return;
  }
  auto handOff = std::make_shared<HandOff>();
  handOff->delivery = std::move(delivery);
  TxaHIDData& component = FHIDData;
  FHIDData.mainLoop_.Post([handOff, &component] {
    {
      std::lock_guard lock(handOff->mutex);
      if (handOff->abandoned) {
        return;
      }
      handOff->started = true;
    }
    Dispatch(component, handOff->delivery);
    std::lock_guard lock(handOff->mutex);
    handOff->done = true;
    handOff->changed.notify_all();
  });
  // Wait until the main thread has handled it; a stop ends the wait, and a
  // delivery already under way then finishes without this reader.
  std::unique_lock lock(handOff->mutex);
  handOff->changed.wait(lock, stop, [&] { return handOff->done; });
  if (!handOff->done && !handOff->started) {
    handOff->abandoned = true;
  }
}

void TxaHidDeviceReadThread::Dispatch(TxaHIDData& component, const Delivery& delivery) {
  const std::span<const std::uint8_t> report = delivery.report;
  if (component.OnData) {
    component.OnData(delivery.deviceId, delivery.devicePath, report[0], report.subspan(1));
  }
  if (component.OnParsedData) {
    component.OnParsedData(delivery.deviceId, delivery.devicePath, report[0], delivery.buttonData);
  }
}

// The first usage no longer reported, else the first newly reported one
// shifted left by 16, else 0.
std::uint32_t TxaHidDeviceReadThread::ButtonChange(std::span<const std::uint8_t> report) {
  const auto parsed = FDevice->ButtonUsages(report);
  if (!parsed) {
    return 0;
  }
  const std::vector<HidUsage>& current = *parsed;
  const auto absentFrom = [](const std::vector<HidUsage>& list) {
    return [&list](const HidUsage& u) { return u.usage != 0 && std::ranges::find(list, u) == list.end(); };
  };
  const auto released = std::ranges::find_if(previousUsages_, absentFrom(current));
  const auto pressed = std::ranges::find_if(current, absentFrom(previousUsages_));
  std::uint32_t change = 0;
  if (released != previousUsages_.end()) {
    change = released->usage;
  } else if (pressed != current.end()) {
    change = std::uint32_t{pressed->usage} << 16;
  }
  previousUsages_ = current;
  return change;
}

}  // namespace monitor
