// The translation table built into the monitor: the texts of the whole
// suite's user interface with their Simplified Chinese ("CH") and English
// ("US") translations.
#pragma once

#include <cstdint>
#include <vector>

namespace monitor {

// The table in its binary layout, as the main window's resource holds it.
std::vector<std::uint8_t> EmbeddedTableLayout();

}  // namespace monitor
