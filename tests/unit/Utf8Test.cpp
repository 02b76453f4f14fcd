#include <gtest/gtest.h>

#include "platform/Utf8.h"

namespace monitor {
namespace {

TEST(Utf8, RoundTripsEveryPlane) {
  const std::u16string text = u"Macro 录制 \U0001F5B1 é";
  const std::string utf8 = ToUtf8(text);
  EXPECT_EQ(utf8, "Macro \xE5\xBD\x95\xE5\x88\xB6 \xF0\x9F\x96\xB1 \xC3\xA9");
  EXPECT_EQ(FromUtf8(utf8), text);
  EXPECT_EQ(ToUtf8(u"a\xD800z"), "a\xEF\xBF\xBDz");  // a lone surrogate
}

TEST(Utf8, RejectsWhatIsNotWellFormed) {
  for (const char* bad : {"\xC3", "\xE9t\xE9", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF"}) {
    EXPECT_EQ(FromUtf8(bad), std::nullopt) << bad;
  }
  EXPECT_EQ(FromUtf8(""), u"");
}

}  // namespace
}  // namespace monitor
