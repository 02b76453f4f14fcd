// A multi-string as Windows stores lists of text (REG_MULTI_SZ, device
// properties): zero-terminated strings one after another, ended by an empty
// string.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace monitor {

// The strings of a multi-string, read only within `text`: a last string
// without its terminator ends at the end of `text`, and a missing final
// empty string is not needed.
std::vector<std::u16string> SplitMultiString(std::u16string_view text);

}  // namespace monitor
