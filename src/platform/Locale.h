// The system's language settings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace monitor {

// A locale the system supports, by its language.
struct LocaleLanguage {
  std::uint16_t languageId;    // 0x0409, 0x0804, ...
  std::u16string displayName;  // "English (United States)", in the user interface language
};

class Locale {
 public:
  virtual ~Locale() = default;

  // The system default language identifier (0x0804 Simplified Chinese,
  // 0x0404 Traditional Chinese, 0x0409 US English, ...).
  virtual std::uint16_t SystemDefaultLanguageId() = 0;
  // The abbreviated language name of the user's locale: "ENU", "CHS", ...;
  // empty when the system names none.
  virtual std::u16string UserAbbreviatedLanguageName() = 0;
  // Every locale the system supports, with the display name of its language.
  virtual std::vector<LocaleLanguage> SupportedLocales() = 0;
};

}  // namespace monitor
