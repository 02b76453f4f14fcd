// The names of the virtual mouse's two named pipes: the device pipe, one
// connection per opened interface, and the control pipe, one command per
// connection. What goes over them is in platform/VirtualMouseFrames.h.
#pragma once

#include <string_view>

namespace monitor::win32::virtual_mouse {

inline constexpr std::wstring_view kDevicePipeName = L"\\\\.\\pipe\\GamingMouseMonitor.VirtualMouse";
inline constexpr std::wstring_view kControlPipeName = L"\\\\.\\pipe\\GamingMouseMonitor.VirtualMouse.Control";

}  // namespace monitor::win32::virtual_mouse
