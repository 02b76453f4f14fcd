#include "tools/virtual_mouse/ControlPipe.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/OverlappedIo.h"
#include "platform/win32/VirtualMouseClient.h"
#include "platform/win32/VirtualMousePipes.h"

namespace monitor::virtual_mouse {

using namespace win32::virtual_mouse;  // the pipes and their client

namespace {

constexpr DWORD kPipeBufferSize = 65536;

// Carries out one command; nullopt when it is not one.
std::optional<std::uint32_t> Execute(const Frame& command, DeviceServer& device) {
  switch (command.kind) {
    case MessageKind::PushInput:
      return device.PushInput(command.payload);
    case MessageKind::Unplug:
      device.Unplug();
      return ERROR_SUCCESS;
    case MessageKind::Quit:
      return ERROR_SUCCESS;
    default:
      return std::nullopt;
  }
}

}  // namespace

win32::UniqueHandle CreateControlPipe() {
  const std::wstring name(kControlPipeName);
  return win32::OwnFileHandle(
      CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_FIRST_PIPE_INSTANCE,
                       PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
                       kPipeBufferSize, kPipeBufferSize, 0, nullptr));
}

bool ServeControlPipe(HANDLE pipe, DeviceServer& device) {
  win32::OverlappedReader reader(pipe);
  std::vector<std::uint8_t> message(kHeaderSize + kMaxPayload);
  for (;;) {
    if (!ConnectNamedPipe(pipe, nullptr)) {
      const DWORD error = GetLastError();
      if (error == ERROR_NO_DATA) {  // the client has gone already
        DisconnectNamedPipe(pipe);
        continue;
      }
      if (error != ERROR_PIPE_CONNECTED) {
        return false;
      }
    }
    bool quit = false;
    const HidReadResult read = reader.Read(message);
    if (read.outcome == HidReadResult::Outcome::Report) {
      const auto command = DecodeFrame(std::span(message).first(read.size));
      const auto result = command ? Execute(*command, device) : std::nullopt;
      if (result) {
        win32::WriteAndWait(pipe, EncodeFrame(MessageKind::Result, EncodeResult(*result)));
        quit = command->kind == MessageKind::Quit;
        // Disconnecting throws away what the client has not read yet, so
        // wait until it has closed its end.
        while (reader.Read(message).outcome == HidReadResult::Outcome::Report) {
        }
      }
    }
    DisconnectNamedPipe(pipe);
    if (quit) {
      return true;
    }
  }
}

std::optional<std::uint32_t> SendControlCommand(MessageKind kind, std::span<const std::uint8_t> payload) {
  const win32::UniqueHandle pipe = ConnectToPipe(kControlPipeName, false);
  if (!pipe) {
    return std::nullopt;
  }
  const auto reply = Request(pipe.get(), kind, payload);
  if (!reply || reply->kind != MessageKind::Result) {
    SetLastError(ERROR_INVALID_DATA);
    return std::nullopt;
  }
  return DecodeResult(reply->payload);
}

}  // namespace monitor::virtual_mouse
