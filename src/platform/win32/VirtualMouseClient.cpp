#include "platform/win32/VirtualMouseClient.h"

#include <string>

#include "platform/win32/OverlappedIo.h"

namespace monitor::win32::virtual_mouse {

using namespace monitor::virtual_mouse;
namespace {

constexpr DWORD kBusyWaitMilliseconds = 5000;
constexpr int kBusyAttempts = 5;

}  // namespace

UniqueHandle ConnectToPipe(std::wstring_view name, bool overlapped) {
  const std::wstring path(name);
  // Identification only: whoever serves the name cannot act as this process.
  const DWORD flags =
      SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION | (overlapped ? FILE_FLAG_OVERLAPPED : 0);
  for (int attempt = 0; attempt < kBusyAttempts; ++attempt) {
    UniqueHandle pipe = OwnFileHandle(
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, flags, nullptr));
    if (pipe) {
      DWORD mode = PIPE_READMODE_MESSAGE;
      if (!SetNamedPipeHandleState(pipe.get(), &mode, nullptr, nullptr)) {
        return {};
      }
      return pipe;
    }
    if (GetLastError() != ERROR_PIPE_BUSY || !WaitNamedPipeW(path.c_str(), kBusyWaitMilliseconds)) {
      return {};
    }
  }
  SetLastError(ERROR_PIPE_BUSY);
  return {};
}

std::optional<Reply> Request(HANDLE pipe, MessageKind kind, std::span<const std::uint8_t> payload) {
  if (WriteAndWait(pipe, EncodeFrame(kind, payload)) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> message(kHeaderSize + kMaxPayload);
  const HidReadResult read = OverlappedReader(pipe).Read(message);
  if (read.outcome != HidReadResult::Outcome::Report) {
    return std::nullopt;
  }
  const auto frame = DecodeFrame(std::span(message).first(read.size));
  if (!frame) {
    return std::nullopt;
  }
  return Reply{frame->kind, {frame->payload.begin(), frame->payload.end()}};
}

}  // namespace monitor::win32::virtual_mouse
