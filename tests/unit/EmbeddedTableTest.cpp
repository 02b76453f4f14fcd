#include <gtest/gtest.h>

#include <set>
#include <string>

#include "i18n/EmbeddedTable.h"
#include "i18n/TranslationTable.h"
#include "platform/Utf8.h"

namespace monitor {
namespace {

class EmbeddedTableTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(table_.ReadLayout(EmbeddedTableLayout())); }

  const TranslationLanguage& Chinese() const { return table_.Resources.at(0); }
  const TranslationLanguage& English() const { return table_.Resources.at(1); }

  TranslationTable table_;
};

TEST_F(EmbeddedTableTest, HoldsTheOriginalsAndTheChineseAndEnglishLanguages) {
  EXPECT_EQ(table_.Original.size(), 221u);
  ASSERT_EQ(table_.Resources.size(), 2u);
  EXPECT_EQ(Chinese().code, u"CH");
  EXPECT_EQ(English().code, u"US");
  EXPECT_EQ(Chinese().lines.size(), 145u);
  EXPECT_EQ(English().lines.size(), 79u);

  EXPECT_EQ(table_.Original.front(), u"       Only 2 DPI Mode switching");
  EXPECT_EQ(table_.Original.back(), u"Y-AXIS");
  EXPECT_EQ(std::set<std::u16string>(table_.Original.begin(), table_.Original.end()).size(), 221u)
      << "every original once";
}

TEST_F(EmbeddedTableTest, RoundTripsThroughReaderAndWriter) {
  EXPECT_EQ(table_.WriteLayout(), EmbeddedTableLayout());
}

TEST_F(EmbeddedTableTest, TranslatesTheTextsTheMonitorShows) {
  struct Row {
    std::u16string_view original;
    std::optional<std::u16string_view> chinese;
    std::optional<std::u16string_view> english;
  };
  const Row rows[] = {
      {u"Gaming Mouse Driver", u"游戏鼠标驱动", std::nullopt},
      {u"Config", u"打开配置", std::nullopt},
      {u"About", u"关于软件", std::nullopt},
      {u"Exit", u"退出软件", std::nullopt},
      {u"Recording...", u"录制中...", std::nullopt},
      {u"ms", u"毫秒", u"ms"},
      {u"Mouse Click", u"左键", u"Mouse Click"},
      {u"Mouse Right Click", u"  右键", std::nullopt},
      {u"Mouse Middle Click", u"中键", u"Mouse Middle Click"},
      {u"Backward(Mouse)", u"后退", u"Backward(Mouse)"},
      {u"Forward(Mouse)", u"前进", u"Forward(Mouse)"},
      {u"Wheel up(Mouse)", u"向上滚动", u"Wheel up(Mouse)"},
      {u"Wheel Down(Mouse)", u"向下滚动", u"Wheel Down(Mouse)"},
      {u"Down", u"按下", u"Down"},
      {u"Up", u"放开", u"Up"},
      {u"Hardware & Software Information:", u"硬件与软件信息：", u"Hardware & Software Information:"},
      {u"Hardware Core:1.00.00", u"硬件版本：1.00.00", u"Hardware Core:1.00.00"},
      {u"Software Core:1.00.00", u"软件版本：1.00.00", u"Software Core:1.00.00"},
      {u"Software Update Website:", u"软件更新网站：", u"Software Update Website:"},
      // Looked up by the monitor, but never translated.
      {u"Gaming Mouse Monitor", std::nullopt, std::nullopt},
      {u"User Recorded", std::nullopt, std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(ToUtf8(row.original));
    EXPECT_EQ(Chinese().TranslationOf(row.original), row.chinese);
    EXPECT_EQ(English().TranslationOf(row.original), row.english);
  }
}

TEST_F(EmbeddedTableTest, EveryLineTranslatesAnOriginalIntoAText) {
  const std::set<std::u16string> originals(table_.Original.begin(), table_.Original.end());
  for (const TranslationLanguage* language : {&Chinese(), &English()}) {
    std::set<std::u16string_view> translations;
    for (const std::u16string& line : language->lines) {
      const std::u16string_view text(line);
      const std::size_t separator = text.find(u'=');
      ASSERT_NE(separator, std::u16string_view::npos);
      EXPECT_TRUE(originals.contains(std::u16string(text.substr(0, separator))));
      EXPECT_FALSE(text.substr(separator + 1).empty());
      // Distinct translations lead a reverse lookup back to their own original.
      EXPECT_TRUE(translations.insert(text.substr(separator + 1)).second);
    }
  }
}

}  // namespace
}  // namespace monitor
