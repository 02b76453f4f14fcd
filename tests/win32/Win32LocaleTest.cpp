#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/win32/Win32Locale.h"

namespace monitor::win32 {
namespace {

// Wine takes each process's system language from its own environment, so
// ctest runs this under more than one locale and names the identifier the
// locale stands for.
TEST(Win32Locale, SystemLanguageIsTheOneTheEnvironmentNames) {
  const char* expected = std::getenv("MONITOR_EXPECTED_LANGUAGE_ID");
  if (expected == nullptr) {
    GTEST_SKIP() << "MONITOR_EXPECTED_LANGUAGE_ID names the language of the run; ctest sets it";
  }
  EXPECT_EQ(Win32Locale().SystemDefaultLanguageId(), std::stoul(expected, nullptr, 16));
}

}  // namespace
}  // namespace monitor::win32
