// Which HID bus the monitor talks to: the system's, or the virtual mouse
// program's for tests and demonstrations without hardware.
#pragma once

#include "profiles/IniFile.h"

namespace monitor {

// True only for "Enabled=1" in section "VirtualMouse" of "config.ini";
// anything else, a missing file included, keeps the real devices.
bool UsesVirtualMouse(const IniFile& config);

}  // namespace monitor
