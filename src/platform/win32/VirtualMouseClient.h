// The client end of the virtual mouse's pipes: connecting, and one request
// answered by one reply.
#pragma once

#include <windows.h>

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/VirtualMouseFrames.h"
#include "platform/win32/UniqueHandle.h"

namespace monitor::win32::virtual_mouse {

// Connects in message mode, waiting a while when every instance is busy.
// Empty, with the system error as the last error, when nobody serves the pipe.
UniqueHandle ConnectToPipe(std::wstring_view name, bool overlapped);

struct Reply {
  monitor::virtual_mouse::MessageKind kind;
  std::vector<std::uint8_t> payload;
};

// Sends one frame and reads the one that answers it; nullopt when the pipe
// fails or the answer is not a frame.
std::optional<Reply> Request(HANDLE pipe, monitor::virtual_mouse::MessageKind kind,
                             std::span<const std::uint8_t> payload = {});

}  // namespace monitor::win32::virtual_mouse
