#include <gtest/gtest.h>

#include <array>

#include "profiles/FixedText.h"

namespace monitor {
namespace {

using namespace std::literals;

// An array of five units between two guards that must never change.
struct Guarded {
  char16_t before = u'#';
  std::array<char16_t, 5> text;
  char16_t after = u'#';

  Guarded() { text.fill(u'.'); }
  [[nodiscard]] std::u16string Units() const { return {text.begin(), text.end()}; }
};

TEST(FixedText, ReadsUpToTheFirstZeroOrTheWholeArray) {
  const char16_t terminated[5] = {u'a', u'b', 0, u'z', u'z'};
  const char16_t full[5] = {u'a', u'b', u'c', u'd', u'e'};
  const char16_t empty[5] = {0, u'x', u'x', u'x', u'x'};
  EXPECT_EQ(ReadFixedText(terminated), u"ab");
  EXPECT_EQ(ReadFixedText(full), u"abcde");
  EXPECT_EQ(ReadFixedText(empty), u"");
}

TEST(FixedText, WritesTerminatedAndCutsToFit) {
  struct Case {
    const char* label;
    std::u16string_view text;
    FixedTextEnd end;
    bool fits;
    std::u16string_view units;  // all five units afterwards
  };
  const Case cases[] = {
      {"short text keeps the units after its terminator", u"ab", FixedTextEnd::KeepTerminator, true,
       u"ab\0.."sv},
      {"empty text is one terminator", u"", FixedTextEnd::KeepTerminator, true, u"\0...."sv},
      {"four units fit before the terminator", u"abcd", FixedTextEnd::KeepTerminator, true, u"abcd\0"sv},
      {"five units are cut to four", u"abcde", FixedTextEnd::KeepTerminator, false, u"abcd\0"sv},
      {"five units may fill the array", u"abcde", FixedTextEnd::MayFill, true, u"abcde"sv},
      {"six units are cut to five", u"abcdef", FixedTextEnd::MayFill, false, u"abcde"sv},
      {"a cut never splits a surrogate pair", u"abc\U0001F5B1", FixedTextEnd::KeepTerminator, false,
       u"abc\0."sv},
      {"a whole surrogate pair fits", u"ab\U0001F5B1", FixedTextEnd::KeepTerminator, true,
       u"ab\U0001F5B1\0"sv},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Guarded guarded;
    EXPECT_EQ(WriteFixedText(guarded.text, c.text, c.end), c.fits);
    EXPECT_EQ(guarded.Units(), c.units);
    EXPECT_EQ(guarded.before, u'#');
    EXPECT_EQ(guarded.after, u'#');
  }
}

TEST(FixedText, WrittenTextReadsBack) {
  char16_t name[50] = {};
  WriteFixedText(name, u"User Recorded");
  EXPECT_EQ(ReadFixedText(name), u"User Recorded");
}

}  // namespace
}  // namespace monitor
