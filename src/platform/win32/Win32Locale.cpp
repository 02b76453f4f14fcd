#include "platform/win32/Win32Locale.h"

#include <windows.h>

#include <cwchar>
#include <new>

#include "platform/win32/WideText.h"

namespace monitor::win32 {
namespace {

// One item of a locale's information; empty when the system has none.
std::u16string LocaleText(LCID locale, LCTYPE item) {
  const int size = GetLocaleInfoW(locale, item, nullptr, 0);  // with the terminator
  if (size <= 0) {
    return {};
  }
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  const int written = GetLocaleInfoW(locale, item, text.data(), size);
  if (written <= 0) {
    return {};
  }
  text.resize(static_cast<std::size_t>(written - 1));
  return FromWide(text);
}

// EnumSystemLocalesW hands its callback no context, so the callback finds
// the list it fills through this, set on the enumerating thread only for
// the length of the enumeration.
thread_local std::vector<LocaleLanguage>* localesBeingListed = nullptr;

BOOL CALLBACK AddLocale(LPWSTR localeIdText) {
  const auto locale = static_cast<LCID>(std::wcstoul(localeIdText, nullptr, 16));
  try {
    localesBeingListed->push_back({LANGIDFROMLCID(locale), LocaleText(locale, LOCALE_SLANGUAGE)});
    return TRUE;
  } catch (const std::bad_alloc&) {
    return FALSE;  // no exception may cross the system's frames; the list ends here
  }
}

}  // namespace

std::uint16_t Win32Locale::SystemDefaultLanguageId() { return GetSystemDefaultLangID(); }

std::u16string Win32Locale::UserAbbreviatedLanguageName() {
  return LocaleText(GetUserDefaultLCID(), LOCALE_SABBREVLANGNAME);
}

std::vector<LocaleLanguage> Win32Locale::SupportedLocales() {
  std::vector<LocaleLanguage> locales;
  localesBeingListed = &locales;
  EnumSystemLocalesW(AddLocale, LCID_SUPPORTED);
  localesBeingListed = nullptr;
  return locales;
}

}  // namespace monitor::win32
