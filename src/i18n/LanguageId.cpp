#include "i18n/LanguageId.h"

namespace monitor {

std::u16string LanguageIdText(std::uint16_t languageId) {
  constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string text(4, u'0');
  for (int i = 3; i >= 0; --i) {
    text[static_cast<std::size_t>(i)] = kDigits[languageId & 0xF];
    languageId = static_cast<std::uint16_t>(languageId >> 4);
  }
  return text;
}

}  // namespace monitor
