// The text lookup of the active translation table, as the rest of the code
// takes it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace monitor {

using TranslateText = std::function<std::u16string(std::u16string_view text)>;

}  // namespace monitor
