#include "platform/win32/OverlappedIo.h"

#include <algorithm>
#include <limits>

namespace monitor::win32 {
namespace {

using Outcome = HidReadResult::Outcome;

DWORD TransferLength(std::size_t size) {
  return static_cast<DWORD>(std::min<std::size_t>(size, std::numeric_limits<DWORD>::max()));
}

// Waits for an I/O call that may have gone on in the background; the stop,
// when given, cancels it. Either way the I/O has completed on return.
DWORD CompleteIo(HANDLE file, OVERLAPPED& overlapped, BOOL started, DWORD& transferred,
                 const std::stop_token& stop) {
  if (!started) {
    const DWORD error = GetLastError();
    if (error != ERROR_IO_PENDING) {
      return error;
    }
  }
  // Runs at once when the stop came before the I/O was started. Its
  // destructor waits for a callback running on another thread.
  const std::stop_callback cancel(stop, [&] { CancelIoEx(file, &overlapped); });
  return GetOverlappedResult(file, &overlapped, &transferred, TRUE) ? ERROR_SUCCESS : GetLastError();
}

Outcome OutcomeOfError(DWORD error, const std::stop_token& stop) {
  switch (error) {
    case ERROR_OPERATION_ABORTED:
      return stop.stop_requested() ? Outcome::Stopped : Outcome::Disconnected;
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_INVALID_HANDLE:
    case ERROR_BROKEN_PIPE:         // the pipe's other end closed it
    case ERROR_PIPE_NOT_CONNECTED:  // the pipe server disconnected it
      return Outcome::Disconnected;
    default:
      return Outcome::Failed;
  }
}

UniqueHandle ManualResetEvent() { return UniqueHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr)); }

}  // namespace

OverlappedReader::OverlappedReader(HANDLE file) : file_(file), completed_(ManualResetEvent()) {}

HidReadResult OverlappedReader::Read(std::span<std::uint8_t> buffer, std::stop_token stop) {
  if (stop.stop_requested()) {
    return {Outcome::Stopped};
  }
  if (!completed_) {
    return {Outcome::Failed};
  }
  OVERLAPPED overlapped{};
  overlapped.hEvent = completed_.get();
  DWORD transferred = 0;
  const BOOL started = ReadFile(file_, buffer.data(), TransferLength(buffer.size()), nullptr, &overlapped);
  const DWORD error = CompleteIo(file_, overlapped, started, transferred, stop);
  if (error != ERROR_SUCCESS) {
    return {OutcomeOfError(error, stop)};
  }
  return {Outcome::Report, std::min<std::size_t>(transferred, buffer.size())};
}

DWORD WriteAndWait(HANDLE file, std::span<const std::uint8_t> bytes) {
  const UniqueHandle completed = ManualResetEvent();
  if (!completed) {
    return GetLastError();
  }
  OVERLAPPED overlapped{};
  overlapped.hEvent = completed.get();
  DWORD transferred = 0;
  const DWORD length = TransferLength(bytes.size());
  const BOOL started = WriteFile(file, bytes.data(), length, nullptr, &overlapped);
  const DWORD error = CompleteIo(file, overlapped, started, transferred, {});
  if (error == ERROR_SUCCESS && transferred != length) {
    return ERROR_WRITE_FAULT;
  }
  return error;
}

}  // namespace monitor::win32
