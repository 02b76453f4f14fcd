// Fakes of the small system ports: known folders, locale, clock, debug output.
#pragma once

#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/DebugOutput.h"
#include "platform/KnownFolders.h"
#include "platform/Locale.h"

namespace monitor::fakes {

class FakeKnownFolders final : public KnownFolders {
 public:
  std::u16string documents = u"C:\\Users\\Gamer\\Documents";
  std::u16string executable = u"C:\\Program Files\\Gaming Mouse\\";

  std::u16string DocumentsFolder() override { return documents; }
  std::u16string ExecutableFolder() override { return executable; }
};

class FakeLocale final : public Locale {
 public:
  std::uint16_t systemLanguage = 0x0409;
  std::u16string userAbbreviatedLanguageName = u"ENU";
  std::vector<LocaleLanguage> supportedLocales = {{0x0409, u"English (United States)"},
                                                  {0x0804, u"Chinese (Simplified, China)"},
                                                  {0x0404, u"Chinese (Traditional, Taiwan)"}};

  std::uint16_t SystemDefaultLanguageId() override { return systemLanguage; }
  std::u16string UserAbbreviatedLanguageName() override { return userAbbreviatedLanguageName; }
  std::vector<LocaleLanguage> SupportedLocales() override { return supportedLocales; }
};

class FakeClock final : public Clock {
 public:
  LocalTime now{2026, 12, 11, 12, 0, 0, 0};

  LocalTime LocalNow() override { return now; }
  void SleepFor(std::chrono::milliseconds duration) override { slept.push_back(duration); }
  void WaitPrecisely(std::chrono::milliseconds duration) override { waited.push_back(duration); }

  std::vector<std::chrono::milliseconds> slept;
  std::vector<std::chrono::milliseconds> waited;
};

class FakeDebugOutput final : public DebugOutput {
 public:
  std::vector<std::u16string> lines;

  void Write(std::u16string_view line) override { lines.emplace_back(line); }
};

}  // namespace monitor::fakes
