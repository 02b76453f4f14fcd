#include "device/BusSelection.h"

namespace monitor {

bool UsesVirtualMouse(const IniFile& config) { return config.Value(u"VirtualMouse", u"Enabled") == u"1"; }

}  // namespace monitor
