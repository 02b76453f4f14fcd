// Language identifiers as the translation tables name them.
#pragma once

#include <cstdint>
#include <string>

namespace monitor {

// Four upper-case hexadecimal digits: 0x0804 is "0804".
std::u16string LanguageIdText(std::uint16_t languageId);

}  // namespace monitor
