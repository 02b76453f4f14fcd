// The locale port on the Windows national language support.
#pragma once

#include "platform/Locale.h"

namespace monitor::win32 {

class Win32Locale final : public Locale {
 public:
  std::uint16_t SystemDefaultLanguageId() override;
  std::u16string UserAbbreviatedLanguageName() override;
  std::vector<LocaleLanguage> SupportedLocales() override;
};

}  // namespace monitor::win32
