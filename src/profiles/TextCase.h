// Letter case of the names the programs use (registry names, file names,
// INI keys), which Windows compares without regard to case.
#pragma once

#include <string>
#include <string_view>

namespace monitor {

std::u16string AsciiLowercase(std::u16string_view text);
std::u16string AsciiUppercase(std::u16string_view text);
bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b);

}  // namespace monitor
