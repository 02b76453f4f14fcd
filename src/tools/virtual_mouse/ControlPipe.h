// Commands from the command line to the running virtual mouse, over the
// control pipe: one command per connection, answered by a result.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/VirtualMouseFrames.h"
#include "platform/win32/UniqueHandle.h"
#include "tools/virtual_mouse/DeviceServer.h"

namespace monitor::virtual_mouse {

// The one control pipe instance of a running mouse; empty (see
// GetLastError) when it cannot be had, for example because another mouse
// runs already.
win32::UniqueHandle CreateControlPipe();

// Carries out the commands that arrive until Quit; false when the pipe fails.
bool ServeControlPipe(HANDLE pipe, DeviceServer& device);

// The running mouse's result of a command; nullopt (see GetLastError) when
// no mouse answered.
std::optional<std::uint32_t> SendControlCommand(MessageKind kind, std::span<const std::uint8_t> payload);

}  // namespace monitor::virtual_mouse
