#include "tools/virtual_mouse/DeviceServer.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "device/UsageAndPage.h"
#include "platform/win32/OverlappedIo.h"
#include "platform/win32/VirtualMousePipes.h"
#include "tools/virtual_mouse/FeatureReportText.h"
#include "tools/virtual_mouse/MouseCommandLine.h"

namespace monitor::virtual_mouse {

using win32::UniqueHandle;
using win32::virtual_mouse::kDevicePipeName;

namespace {

// What the HID class driver answers for a report of the wrong length.
constexpr std::uint32_t kWrongLength = ERROR_INVALID_PARAMETER;
constexpr DWORD kPipeBufferSize = 65536;

UniqueHandle CreateInstance(bool first) {
  const std::wstring name(kDevicePipeName);
  return win32::OwnFileHandle(CreateNamedPipeW(
      name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | (first ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0),
      PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
      PIPE_UNLIMITED_INSTANCES, kPipeBufferSize, kPipeBufferSize, 0, nullptr));
}

bool FitsLength(std::span<const std::uint8_t> report, std::uint16_t length) {
  return !report.empty() && report.size() <= length;
}

}  // namespace

DeviceServer::DeviceServer(MouseLog& log, std::uint16_t featureLength)
    : log_(log),
      capabilities_{kMouseVendorCollection.Usage, kMouseVendorCollection.UsagePage, kInputReportLength,
                    kOutputReportLength, featureLength},
      stopping_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

DeviceServer::~DeviceServer() { Stop(); }

bool DeviceServer::Start() {
  firstInstance_ = CreateInstance(true);
  if (!firstInstance_ || !stopping_) {
    return false;
  }
  acceptor_ = std::thread([this] { Accept(); });
  return true;
}

void DeviceServer::Stop() {
  if (acceptor_.joinable()) {
    SetEvent(stopping_.get());
    acceptor_.join();
  }
  Unplug();
  // The workers take the lock on their way out, so they are joined without it.
  for (Connection& connection : connections_) {
    if (connection.worker.joinable()) {
      connection.worker.join();
    }
  }
  connections_.clear();
}

std::uint32_t DeviceServer::PushInput(std::span<const std::uint8_t> report) {
  if (!FitsLength(report, capabilities_.inputReportLength)) {
    log_.Write("refused input report of " + std::to_string(report.size()) + " bytes: longer than " +
               std::to_string(capabilities_.inputReportLength) + " or empty");
    return kWrongLength;
  }
  const std::vector<std::uint8_t> frame = EncodeFrame(MessageKind::InputReport, report);
  const std::lock_guard lock(mutex_);
  int readers = 0;
  for (Connection& connection : connections_) {
    if (connection.reading && !connection.finished &&
        win32::WriteAndWait(connection.pipe.get(), frame) == ERROR_SUCCESS) {
      ++readers;
    }
  }
  log_.Write("input report " + HexBytes(report) + " sent to " + std::to_string(readers) + " reader(s)");
  return ERROR_SUCCESS;
}

void DeviceServer::Unplug() {
  const std::lock_guard lock(mutex_);
  for (Connection& connection : connections_) {
    if (!connection.finished) {
      // Every pending and later read on either end fails, the worker's too.
      DisconnectNamedPipe(connection.pipe.get());
      CancelIoEx(connection.pipe.get(), nullptr);
      connection.reading = false;
    }
  }
}

void DeviceServer::Accept() {
  UniqueHandle instance = std::move(firstInstance_);
  while (WaitForSingleObject(stopping_.get(), 0) == WAIT_TIMEOUT) {
    if (!instance) {
      instance = CreateInstance(false);
      if (!instance) {
        log_.Write("cannot create a device pipe instance, error " + std::to_string(GetLastError()));
        return;
      }
    }
    if (WaitForClient(instance.get())) {
      Adopt(std::move(instance));
    } else {
      instance.reset();  // a client that came and went, or the end
    }
    ReapFinished();
  }
}

bool DeviceServer::WaitForClient(HANDLE pipe) {
  const UniqueHandle connected(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!connected) {
    return false;
  }
  OVERLAPPED overlapped{};
  overlapped.hEvent = connected.get();
  if (ConnectNamedPipe(pipe, &overlapped)) {
    return true;
  }
  DWORD error = GetLastError();
  if (error == ERROR_IO_PENDING) {
    const HANDLE events[] = {connected.get(), stopping_.get()};
    if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0) {
      CancelIoEx(pipe, &overlapped);
    }
    DWORD unused = 0;
    error = GetOverlappedResult(pipe, &overlapped, &unused, TRUE) ? ERROR_SUCCESS : GetLastError();
  }
  return error == ERROR_SUCCESS || error == ERROR_PIPE_CONNECTED;
}

void DeviceServer::Adopt(UniqueHandle pipe) {
  const std::lock_guard lock(mutex_);
  Connection& connection = connections_.emplace_back();
  connection.pipe = std::move(pipe);
  connection.worker = std::thread([this, &connection] { Serve(connection); });
}

void DeviceServer::ReapFinished() {
  const std::lock_guard lock(mutex_);
  // A finished worker has left the lock for good, so joining it here is safe.
  connections_.remove_if([](Connection& connection) {
    if (!connection.finished) {
      return false;
    }
    connection.worker.join();
    return true;
  });
}

void DeviceServer::Serve(Connection& connection) {
  win32::OverlappedReader reader(connection.pipe.get());
  std::vector<std::uint8_t> message(kHeaderSize + kMaxPayload);
  bool connected = false;
  for (;;) {
    const HidReadResult read = reader.Read(message);
    if (read.outcome != HidReadResult::Outcome::Report) {
      break;
    }
    const auto frame = DecodeFrame(std::span(message).first(read.size));
    if (!frame || !Answer(connection, connected, *frame)) {
      break;
    }
  }
  const std::lock_guard lock(mutex_);
  DisconnectNamedPipe(connection.pipe.get());
  connection.reading = false;
  connection.finished = true;
}

bool DeviceServer::Answer(Connection& connection, bool& connected, const Frame& frame) {
  if (!connected) {
    if (frame.kind != MessageKind::Connect || frame.payload.size() != 1 || frame.payload[0] > 1) {
      return false;
    }
    connected = true;
    const auto capabilities = EncodeCapabilities(capabilities_);
    if (frame.payload[0] == 0) {
      return Reply(connection, MessageKind::Capabilities, capabilities);
    }
    // Under the lock, so that no input report overtakes the answer.
    const std::lock_guard lock(mutex_);
    connection.reading = true;
    return win32::WriteAndWait(connection.pipe.get(), EncodeFrame(MessageKind::Capabilities, capabilities)) ==
           ERROR_SUCCESS;
  }
  if (connection.reading) {
    return false;  // a reading connection only listens
  }
  switch (frame.kind) {
    case MessageKind::SetFeature:
      return Reply(connection, MessageKind::Result, EncodeResult(SetFeature(frame.payload)));
    case MessageKind::GetFeature:
      return Reply(connection, MessageKind::FeatureReport, GetFeature(frame.payload));
    case MessageKind::WriteOutput:
      return Reply(connection, MessageKind::Result, EncodeResult(WriteOutput(frame.payload)));
    default:
      return false;
  }
}

bool DeviceServer::Reply(Connection& connection, MessageKind kind, std::span<const std::uint8_t> payload) {
  return win32::WriteAndWait(connection.pipe.get(), EncodeFrame(kind, payload)) == ERROR_SUCCESS;
}

std::uint32_t DeviceServer::SetFeature(std::span<const std::uint8_t> report) {
  if (!FitsLength(report, capabilities_.featureReportLength)) {
    log_.Write("refused " + DescribeFeatureReport(report) + " (longer than " +
               std::to_string(capabilities_.featureReportLength) + " or empty)");
    return kWrongLength;
  }
  log_.Write(DescribeFeatureReport(report));
  const std::lock_guard lock(mutex_);
  features_[report[0]].assign(report.begin(), report.end());
  return ERROR_SUCCESS;
}

// The last report set with the wanted ID, cut or zero-padded to the wanted
// length; zeros after the ID when there was none.
std::vector<std::uint8_t> DeviceServer::GetFeature(std::span<const std::uint8_t> request) {
  if (!FitsLength(request, capabilities_.featureReportLength)) {
    const auto result = EncodeResult(kWrongLength);
    return {result.begin(), result.end()};
  }
  const auto result = EncodeResult(ERROR_SUCCESS);
  std::vector<std::uint8_t> reply(result.begin(), result.end());
  std::vector<std::uint8_t> report(request.size(), 0);
  report[0] = request[0];
  {
    const std::lock_guard lock(mutex_);
    if (const auto found = features_.find(request[0]); found != features_.end()) {
      std::copy_n(found->second.begin(), std::min(found->second.size(), report.size()), report.begin());
    }
  }
  reply.insert(reply.end(), report.begin(), report.end());
  return reply;
}

std::uint32_t DeviceServer::WriteOutput(std::span<const std::uint8_t> report) {
  if (!FitsLength(report, capabilities_.outputReportLength)) {
    log_.Write("refused output report of " + std::to_string(report.size()) + " bytes");
    return kWrongLength;
  }
  log_.Write("output report " + HexBytes(report));
  return ERROR_SUCCESS;
}

}  // namespace monitor::virtual_mouse
