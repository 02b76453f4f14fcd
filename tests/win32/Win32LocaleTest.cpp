#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

#include "i18n/ActiveTranslation.h"
#include "i18n/Language.h"
#include "platform/win32/Win32DebugOutput.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32KnownFolders.h"
#include "platform/win32/Win32Locale.h"

namespace monitor::win32 {
namespace {

// Wine takes each process's system language from its own environment, so
// ctest runs this under more than one locale and names the identifier the
// locale stands for.
std::optional<std::uint16_t> ExpectedLanguageId() {
  const char* expected = std::getenv("MONITOR_EXPECTED_LANGUAGE_ID");
  if (expected == nullptr) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(std::stoul(expected, nullptr, 16));
}

constexpr const char* kNoExpectedLanguage =
    "MONITOR_EXPECTED_LANGUAGE_ID names the language of the run; ctest sets it";

TEST(Win32Locale, SystemLanguageIsTheOneTheEnvironmentNames) {
  const std::optional<std::uint16_t> expected = ExpectedLanguageId();
  if (!expected) {
    GTEST_SKIP() << kNoExpectedLanguage;
  }
  EXPECT_EQ(Win32Locale().SystemDefaultLanguageId(), *expected);
}

TEST(Win32Locale, UserLanguageHasItsAbbreviatedName) {
  const std::optional<std::uint16_t> expected = ExpectedLanguageId();
  if (!expected) {
    GTEST_SKIP() << kNoExpectedLanguage;
  }
  EXPECT_EQ(Win32Locale().UserAbbreviatedLanguageName(), *expected == 0x0804 ? u"CHS" : u"ENU");
}

TEST(Win32Locale, SupportedLocalesIncludeEnglishAndChineseWithTheirNames) {
  const std::vector<LocaleLanguage> locales = Win32Locale().SupportedLocales();
  for (const std::uint16_t id : {std::uint16_t{0x0409}, std::uint16_t{0x0804}}) {
    SCOPED_TRACE(id);
    const auto found = std::find_if(locales.begin(), locales.end(),
                                    [&](const LocaleLanguage& locale) { return locale.languageId == id; });
    ASSERT_NE(found, locales.end());
    EXPECT_FALSE(found->displayName.empty());
  }
}

// The translation component on the real services: a Chinese session starts
// with the Chinese table active, an English one with none.
TEST(Win32Locale, TranslationComponentFollowsTheUserLanguage) {
  const std::optional<std::uint16_t> expected = ExpectedLanguageId();
  if (!expected) {
    GTEST_SKIP() << kNoExpectedLanguage;
  }
  const bool chinese = *expected == 0x0804;
  ActiveTranslation translation;
  Win32Locale locale;
  Win32FileSystem files;
  Win32KnownFolders folders;
  Win32DebugOutput debug;
  const TxaLanguage language(LanguageServices{translation, locale, files, folders, debug}, nullptr);

  EXPECT_EQ(translation.Translate(u"Config"), chinese ? u"打开配置" : u"Config");
  EXPECT_FALSE(language.GetLanguageLongNameByLangID(u"0804").empty());
  EXPECT_EQ(language.GetOSDefaultLang(), chinese ? u"0804" : u"0409");
}

}  // namespace
}  // namespace monitor::win32
