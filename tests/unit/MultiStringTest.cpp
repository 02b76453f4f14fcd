#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/MultiString.h"

namespace monitor {
namespace {

using Strings = std::vector<std::u16string>;

TEST(MultiString, SplitsWithinTheGivenTextOnly) {
  using namespace std::string_view_literals;
  struct Case {
    const char* what;
    std::u16string_view text;
    Strings strings;
  };
  const Case cases[] = {
      {"well formed",
       u"HID\\VID_1&PID_2&REV_3\0HID\\VID_1&PID_2\0\0"sv,
       {u"HID\\VID_1&PID_2&REV_3", u"HID\\VID_1&PID_2"}},
      {"empty", u""sv, {}},
      {"only the final terminator", u"\0"sv, {}},
      {"no final empty string", u"A\0B\0"sv, {u"A", u"B"}},
      {"last string unterminated", u"A\0BC"sv, {u"A", u"BC"}},
      {"stops at the first empty string", u"A\0\0B\0\0"sv, {u"A"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(SplitMultiString(c.text), c.strings);
  }
}

// What lies after the given text is never read, even without terminators.
TEST(MultiString, NeverReadsPastTheGivenLength) {
  const std::u16string storage = u"ABCDEF";
  EXPECT_EQ(SplitMultiString(std::u16string_view(storage).substr(0, 3)), Strings{u"ABC"});
}

}  // namespace
}  // namespace monitor
