#include <gtest/gtest.h>

#include "fakes/FakeComponent.h"
#include "i18n/ActiveTranslation.h"

namespace monitor {
namespace {

using fakes::FakeComponent;

const TranslationLanguage kChinese{u"CH",
                                   {u"Config=打开配置", u"Recording...=录制中...", u"Blank=", u"ms=毫秒"}};
const TranslationLanguage kEnglish{u"US", {u"ms=ms", u"Recording...=Recording (US)"}};

TEST(ActiveTranslation, LooksTextsUpInTheActiveTable) {
  ActiveTranslation translation;
  const TranslateText lookup = translation.Lookup();
  EXPECT_EQ(lookup(u"Config"), u"Config") << "no table yet";

  translation.Activate(kChinese);
  struct Case {
    std::u16string_view text;
    std::u16string_view expected;
  };
  const Case cases[] = {
      {u"Config", u"打开配置"},
      {u"Gaming Mouse Monitor", u"Gaming Mouse Monitor"},  // no entry
      {u"config", u"config"},                              // case-sensitive
      {u"Blank", u"Blank"},                                // an empty translation
      {u"", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(translation.Translate(c.text), c.expected);
    EXPECT_EQ(lookup(c.text), c.expected) << "the lookup follows the active table";
  }
  translation.Drop();
  EXPECT_EQ(lookup(u"Config"), u"Config");
}

TEST(ActiveTranslation, TheActiveTableIsACopy) {
  ActiveTranslation translation;
  {
    TranslationLanguage language = kChinese;
    translation.Activate(language);
    language.lines.clear();
  }
  EXPECT_EQ(translation.Translate(u"Config"), u"打开配置");
}

class SceneTest : public ::testing::Test {
 protected:
  SceneTest() {
    scene_.Add(u"TvgText", u"Title").WithCaption(u"Recording...");
    scene_.Add(u"TvgLayout", u"Layout")
        .Add(u"TvgText", u"Unit")
        .WithCaption(u"ms")
        .WithText(kHintProperty, u"Config");
    scene_.Add(u"TvgText", u"Typed").WithCaption(u"typed by the user");
  }
  FakeComponent& Title() { return static_cast<FakeComponent&>(*scene_.Components()[0]); }
  FakeComponent& Unit() { return static_cast<FakeComponent&>(*scene_.Components()[1]->Components()[0]); }
  FakeComponent& Typed() { return static_cast<FakeComponent&>(*scene_.Components()[2]); }

  ActiveTranslation translation_;
  FakeComponent scene_{u"TvgScene", u"vgScene1", ComponentKind::Scene};
};

TEST_F(SceneTest, RegisteredSceneTakesTheActiveTableAndFollowsEveryChange) {
  translation_.Activate(kChinese);
  translation_.RegisterScene(scene_);
  EXPECT_EQ(Title().Caption(), u"录制中...");
  EXPECT_EQ(Unit().Caption(), u"毫秒");
  EXPECT_EQ(Unit().Text(kHintProperty), u"打开配置");

  // Back to the originals through the old table, then into the new one.
  translation_.Activate(kEnglish);
  EXPECT_EQ(Title().Caption(), u"Recording (US)");
  EXPECT_EQ(Unit().Caption(), u"ms");
  EXPECT_EQ(Unit().Text(kHintProperty), u"Config");

  translation_.Activate(kChinese);
  EXPECT_EQ(Title().Caption(), u"录制中...");
  translation_.Drop();
  EXPECT_EQ(Title().Caption(), u"Recording...");
  EXPECT_EQ(Unit().Caption(), u"ms");
  EXPECT_EQ(Unit().Text(kHintProperty), u"Config");
  EXPECT_EQ(Typed().Caption(), u"typed by the user") << "a text no table knows stays";

  translation_.UnregisterScene(scene_);
  translation_.Activate(kChinese);
  EXPECT_EQ(Title().Caption(), u"Recording...");
}

TEST(ActiveTranslation, FormsAreListedInRegistrationOrder) {
  ActiveTranslation translation;
  FakeComponent first(u"TFirst", u"First", ComponentKind::Form);
  FakeComponent second(u"TSecond", u"Second", ComponentKind::Form);
  translation.RegisterForm(first);
  translation.RegisterForm(second);
  translation.RegisterForm(first);
  EXPECT_EQ(translation.RegisteredForms(), (std::vector<TranslatableComponent*>{&first, &second, &first}));
  translation.UnregisterForm(first);
  EXPECT_EQ(translation.RegisteredForms(), (std::vector<TranslatableComponent*>{&second, &first}));
}

}  // namespace
}  // namespace monitor
