#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "i18n/TranslationTable.h"

namespace monitor {
namespace {

using Bytes = std::vector<std::uint8_t>;

void AppendInteger(Bytes& bytes, std::int32_t value) {
  for (int shift = 0; shift < 32; shift += 8) {
    bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> shift));
  }
}

void AppendUnits(Bytes& bytes, std::u16string_view text) {
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
}

void AppendText(Bytes& bytes, std::u16string_view text) {
  AppendInteger(bytes, static_cast<std::int32_t>(text.size()));
  AppendUnits(bytes, text);
}

TranslationTable SampleTable() {
  TranslationTable table;
  table.Original = {u"Config", u"Exit", u"a=b"};
  table.Resources = {{u"CH", {u"Config=打开配置", u"Exit=退出软件"}},
                     {u"0409", {u"Config=Config", u"Empty=", u"no separator", u""}},
                     {u"ch", {}}};
  return table;
}

bool SameTable(const TranslationTable& a, const TranslationTable& b) {
  if (a.Original != b.Original || a.Resources.size() != b.Resources.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.Resources.size(); ++i) {
    if (a.Resources[i].code != b.Resources[i].code || a.Resources[i].lines != b.Resources[i].lines) {
      return false;
    }
  }
  return true;
}

TEST(TranslationTable, WritesTheLayoutFieldByField) {
  TranslationTable table;
  table.Original = {u"Up", u"ms"};
  table.Resources = {{u"CH", {u"Up=放开"}}, {u"US", {}}};

  Bytes expected;
  AppendText(expected, u"Up\r\nms\r\n");
  AppendInteger(expected, 2);
  AppendText(expected, u"CH");
  AppendText(expected, u"Up=放开\r\n");
  AppendText(expected, u"US");
  AppendText(expected, u"");
  EXPECT_EQ(table.WriteLayout(), expected);
  // Little-endian lengths, UTF-16LE text: "Up" starts 08 00 00 00 'U' 00 'p' 00.
  EXPECT_EQ(Bytes(expected.begin(), expected.begin() + 8), (Bytes{8, 0, 0, 0, 'U', 0, 'p', 0}));
}

TEST(TranslationTable, LayoutRoundTripsThroughWriterAndReader) {
  const TranslationTable written = SampleTable();
  const Bytes layout = written.WriteLayout();

  TranslationTable read;
  ASSERT_TRUE(read.ReadLayout(layout));
  EXPECT_TRUE(SameTable(read, written));
  EXPECT_EQ(read.WriteLayout(), layout);
}

TEST(TranslationTable, ReadingReplacesTheOriginalsAndAppendsTheLanguages) {
  TranslationTable table;
  table.Original = {u"Old"};
  table.Resources = {{u"CH", {u"Old=旧"}}};

  ASSERT_TRUE(table.ReadLayout(SampleTable().WriteLayout()));
  EXPECT_EQ(table.Original, SampleTable().Original);
  ASSERT_EQ(table.Resources.size(), 4u);
  EXPECT_EQ(table.Resources[0].code, u"CH");
  EXPECT_EQ(table.Resources[0].lines, std::vector<std::u16string>{u"Old=旧"});
  EXPECT_EQ(table.Resources[1].code, u"CH");
  EXPECT_EQ(table.Resources[2].code, u"0409");
  EXPECT_EQ(table.Resources[3].code, u"ch");
  // Codes match regardless of case, and the first of equal codes wins.
  EXPECT_EQ(table.IndexOf(u"ch"), 0);
  EXPECT_EQ(table.IndexOf(u"0409"), 2);
  EXPECT_EQ(table.IndexOf(u"US"), -1);
}

TEST(TranslationTable, TextsSplitIntoLinesAtAnyLineEnd) {
  Bytes layout;
  AppendText(layout, u"crlf\r\nlf\ncr\r\r\nlast");
  AppendInteger(layout, 0);
  TranslationTable table;
  ASSERT_TRUE(table.ReadLayout(layout));
  EXPECT_EQ(table.Original, (std::vector<std::u16string>{u"crlf", u"lf", u"cr", u"", u"last"}));
}

TEST(TranslationTable, LookupsSplitAtTheFirstSeparatorAndFindTheFirstMatch) {
  const TranslationLanguage language{u"CH",
                                     {u"no separator", u"Config=打开配置", u"config=小写", u"Config=second",
                                      u"Sum=a=b", u"Empty=", u"=blank"}};
  EXPECT_EQ(language.TranslationOf(u"Config"), u"打开配置");
  EXPECT_EQ(language.TranslationOf(u"config"), u"小写");  // case-sensitive
  EXPECT_EQ(language.TranslationOf(u"CONFIG"), std::nullopt);
  EXPECT_EQ(language.TranslationOf(u"Sum"), u"a=b");
  EXPECT_EQ(language.TranslationOf(u"Sum=a"), std::nullopt);
  EXPECT_EQ(language.TranslationOf(u"Empty"), u"");
  EXPECT_EQ(language.TranslationOf(u"no separator"), std::nullopt);
  EXPECT_EQ(language.OriginalOf(u"打开配置"), u"Config");
  EXPECT_EQ(language.OriginalOf(u"a=b"), u"Sum");
  EXPECT_EQ(language.OriginalOf(u"blank"), u"");
  EXPECT_EQ(language.OriginalOf(u"Config"), std::nullopt);
}

// Damage applied to a sound layout of two languages.
struct Damage {
  const char* label;
  Bytes (*make)(Bytes sound);
};

Bytes SoundLayout() {
  Bytes bytes;
  AppendText(bytes, u"Config\r\n");
  AppendInteger(bytes, 2);
  AppendText(bytes, u"CH");
  AppendText(bytes, u"Config=打开配置\r\n");
  AppendText(bytes, u"US");
  AppendText(bytes, u"Config=Config\r\n");
  return bytes;
}

std::int32_t IntegerAt(const Bytes& bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    value |= static_cast<std::uint32_t>(bytes[offset + i]) << (8 * i);
  }
  return static_cast<std::int32_t>(value);
}

void SetInteger(Bytes& bytes, std::size_t offset, std::int32_t value) {
  Bytes encoded;
  AppendInteger(encoded, value);
  std::copy(encoded.begin(), encoded.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

// Offsets in the sound layout: originals length 0, language count 20,
// "CH" code length 24, "CH" table length 32, "US" code length 62, "US"
// table length 70, end 104.
constexpr std::size_t kLanguageCount = 20;
constexpr std::size_t kFirstCodeLength = 24;
constexpr std::size_t kFirstTableLength = 32;
constexpr std::size_t kLastTableLength = 70;

const Damage kDamages[] = {
    {"empty file", [](Bytes) { return Bytes(); }},
    {"cut inside the first length", [](Bytes b) { return Bytes(b.begin(), b.begin() + 3); }},
    {"cut before the language count", [](Bytes b) { return Bytes(b.begin(), b.begin() + kLanguageCount); }},
    {"cut inside the last table", [](Bytes b) { return Bytes(b.begin(), b.end() - 2); }},
    {"odd size, one byte missing", [](Bytes b) { return Bytes(b.begin(), b.end() - 1); }},
    {"odd size, one byte extra",
     [](Bytes b) {
       b.push_back(0);
       return b;
     }},
    {"bytes after the last language",
     [](Bytes b) {
       AppendText(b, u"junk");
       return b;
     }},
    {"negative originals length",
     [](Bytes b) {
       SetInteger(b, 0, -1);
       return b;
     }},
    {"originals length past the end",
     [](Bytes b) {
       SetInteger(b, 0, 0x7FFFFFFF);
       return b;
     }},
    {"originals length longer by one",
     [](Bytes b) {
       SetInteger(b, 0, 9);
       return b;
     }},
    {"negative language count",
     [](Bytes b) {
       SetInteger(b, kLanguageCount, -2);
       return b;
     }},
    {"more languages than blocks",
     [](Bytes b) {
       SetInteger(b, kLanguageCount, 3);
       return b;
     }},
    {"huge language count",
     [](Bytes b) {
       SetInteger(b, kLanguageCount, 0x7FFFFFFF);
       return b;
     }},
    {"fewer languages than blocks",
     [](Bytes b) {
       SetInteger(b, kLanguageCount, 1);
       return b;
     }},
    {"negative code length",
     [](Bytes b) {
       SetInteger(b, kFirstCodeLength, -1);
       return b;
     }},
    {"negative table length",
     [](Bytes b) {
       SetInteger(b, kFirstTableLength, -100);
       return b;
     }},
    {"table length past the end",
     [](Bytes b) {
       SetInteger(b, kLastTableLength, 0x40000000);
       return b;
     }},
    {"table length one unit long",
     [](Bytes b) {
       SetInteger(b, kLastTableLength, 16);
       return b;
     }},
};

TEST(TranslationTable, DamagedLayoutIsRejectedWholeAndTheTableKeepsWhatItHad) {
  {
    TranslationTable sound;
    ASSERT_TRUE(sound.ReadLayout(SoundLayout())) << "the damages start from a sound layout";
    const Bytes layout = SoundLayout();
    ASSERT_EQ(layout.size(), 104u);
    ASSERT_EQ(IntegerAt(layout, kLanguageCount), 2);
    ASSERT_EQ(IntegerAt(layout, kFirstCodeLength), 2);
    ASSERT_EQ(IntegerAt(layout, kFirstTableLength), 13);
    ASSERT_EQ(IntegerAt(layout, kLastTableLength), 15);
    ASSERT_EQ(sound.Resources.size(), 2u);
  }
  for (const Damage& damage : kDamages) {
    SCOPED_TRACE(damage.label);
    TranslationTable table = SampleTable();
    EXPECT_FALSE(table.ReadLayout(damage.make(SoundLayout())));
    EXPECT_TRUE(SameTable(table, SampleTable()));
  }
}

}  // namespace
}  // namespace monitor
