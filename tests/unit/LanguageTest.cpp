#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fakes/FakeComponent.h"
#include "fakes/FakeEnvironment.h"
#include "fakes/FakeFileSystem.h"
#include "i18n/Language.h"
#include "platform/Utf8.h"

namespace monitor {
namespace {

using fakes::FakeComponent;
using Codes = std::vector<std::u16string>;

Codes LanguageCodes(const TxaLanguage& language) {
  Codes codes;
  for (const TranslationLanguage& entry : language.Table().Resources) {
    codes.push_back(entry.code);
  }
  return codes;
}

std::vector<std::uint8_t> LocalTable(const Codes& codes) {
  TranslationTable table;
  table.Original = {u"Config"};
  for (const std::u16string& code : codes) {
    table.Resources.push_back({code, {u"Config=Config (" + code + u")"}});
  }
  return table.WriteLayout();
}

class LanguageTest : public ::testing::Test {
 protected:
  LanguageTest() { files_.AddFolder(folders_.executable); }

  std::unique_ptr<TxaLanguage> Make(TranslatableComponent* owner = nullptr) {
    return std::make_unique<TxaLanguage>(LanguageServices{translation_, locale_, files_, folders_, debug_},
                                         owner);
  }
  std::u16string LocalTablePath() const { return folders_.executable + u"xa.local"; }

  ActiveTranslation translation_;
  fakes::FakeLocale locale_;
  fakes::FakeFileSystem files_;
  fakes::FakeKnownFolders folders_;
  fakes::FakeDebugOutput debug_;
};

TEST_F(LanguageTest, BuiltInTableGivesChineseThenEnglish) {
  const auto language = Make();
  EXPECT_EQ(LanguageCodes(*language), (Codes{u"CH", u"US"}));
  EXPECT_EQ(language->Table().Original.size(), 221u);
  EXPECT_EQ(language->Lang(), u"");
  EXPECT_EQ(translation_.Translate(u"Config"), u"Config") << "an English user gets no table";

  EXPECT_EQ(language->GetLanguageIndexByShortID(u"ch"), 0);
  EXPECT_EQ(language->GetLanguageIndexByShortID(u"US"), 1);
  EXPECT_EQ(language->GetLanguageIndexByShortID(u"en"), -1);
  EXPECT_EQ(language->GetLanguageShortIDByIndex(0), u"CH");
  EXPECT_EQ(language->GetLanguageShortIDByIndex(1), u"US");
  EXPECT_EQ(language->GetLanguageShortIDByIndex(2), u"");
  EXPECT_EQ(language->GetLanguageShortIDByIndex(5), u"");
  EXPECT_EQ(language->GetLanguageShortIDByIndex(-1), u"");
  EXPECT_TRUE(debug_.lines.empty());
}

TEST_F(LanguageTest, ConstructionSelectsTheTableOfTheUserLanguage) {
  struct Case {
    std::u16string abbreviation;
    std::u16string_view config;
  };
  const Case cases[] = {
      {u"CHS", u"打开配置"},                       // "ch" finds "CH"
      {u"CHT", u"打开配置"}, {u"ENU", u"Config"},  // "en" is not a language of the table
      {u"JPN", u"Config"},   {u"", u"Config"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.abbreviation));
    ActiveTranslation fresh;
    locale_.userAbbreviatedLanguageName = c.abbreviation;
    const TxaLanguage language(LanguageServices{fresh, locale_, files_, folders_, debug_}, nullptr);
    EXPECT_EQ(fresh.Translate(u"Config"), c.config);
    EXPECT_EQ(language.Lang(), u"") << "the start-up selection leaves Lang alone";
  }
}

TEST_F(LanguageTest, StartUpSelectionWithoutAMatchKeepsTheActiveTable) {
  translation_.Activate({u"XX", {u"Config=kept"}});
  locale_.userAbbreviatedLanguageName = u"ENU";
  const auto language = Make();
  EXPECT_EQ(translation_.Translate(u"Config"), u"kept");
}

TEST_F(LanguageTest, SelectingLanguagesByCode) {
  const auto language = Make();
  language->SetLang(u"CH");
  EXPECT_EQ(translation_.Translate(u"Config"), u"打开配置");
  EXPECT_EQ(translation_.Translate(u"Gaming Mouse Monitor"), u"Gaming Mouse Monitor");
  EXPECT_EQ(translation_.Translate(u"User Recorded"), u"User Recorded");
  EXPECT_EQ(translation_.Translate(u""), u"");

  language->SetLang(u"US");
  EXPECT_EQ(translation_.Translate(u"Switch Orienetation"), u"Switch Orientation");
  EXPECT_EQ(translation_.Translate(u"Config"), u"Config");

  language->SetLang(u"ch");  // codes match regardless of case
  EXPECT_EQ(language->Lang(), u"ch");
  EXPECT_EQ(translation_.Translate(u"Exit"), u"退出软件");

  // An unknown code keeps the active table but still becomes the language.
  language->SetLang(u"FR");
  EXPECT_EQ(language->Lang(), u"FR");
  EXPECT_EQ(language->GetLanguageIndexByShortID(language->Lang()), -1);
  EXPECT_EQ(translation_.Translate(u"Exit"), u"退出软件");

  // "en" needs no language of its own: it shows the originals.
  language->SetLang(u"en");
  EXPECT_EQ(language->Lang(), u"en");
  EXPECT_EQ(translation_.Translate(u"Exit"), u"Exit");
  language->SetLang(u"CH");
  language->SetLang(u"EN");
  EXPECT_EQ(translation_.Translate(u"Exit"), u"Exit");
}

TEST_F(LanguageTest, EveryLanguageSelectionIsReported) {
  const auto language = Make();
  struct Report {
    TxaLanguage* sender;
    std::u16string shortId;
    std::u16string longName;
  };
  std::vector<Report> reports;
  language->OnLanguageChanged = [&](TxaLanguage& sender, std::u16string_view shortId,
                                    std::u16string_view longName) {
    reports.push_back({&sender, std::u16string(shortId), std::u16string(longName)});
  };
  language->SetLang(u"CH");
  language->SetLang(u"0804");  // not in the table, but a language the system names
  language->SetLang(u"");
  ASSERT_EQ(reports.size(), 3u);
  EXPECT_EQ(reports[0].sender, language.get());
  EXPECT_EQ(reports[0].shortId, u"CH");
  EXPECT_EQ(reports[0].longName, u"");
  EXPECT_EQ(reports[1].shortId, u"0804");
  EXPECT_EQ(reports[1].longName, u"Chinese (Simplified, China)");
  EXPECT_EQ(reports[2].shortId, u"");
}

TEST_F(LanguageTest, NamesLanguagesByTheirIdentifiers) {
  const auto language = Make();
  EXPECT_EQ(language->GetLanguageLongNameByLangID(u"0409"), u"English (United States)");
  EXPECT_EQ(language->GetLanguageLongNameByShortID(u"0404"), u"Chinese (Traditional, Taiwan)");
  EXPECT_EQ(language->GetLanguageLongNameByLangID(u"0c04"), u"") << "not a supported locale here";
  EXPECT_EQ(language->GetLanguageLongNameByShortID(u"CH"), u"");

  locale_.supportedLocales.push_back({0x0C04, u"Chinese (Traditional, Hong Kong SAR)"});
  const auto withHongKong = Make();
  EXPECT_EQ(withHongKong->GetLanguageLongNameByLangID(u"0c04"), u"Chinese (Traditional, Hong Kong SAR)");
}

TEST_F(LanguageTest, SystemDefaultLanguageAsFourHexDigits) {
  const auto language = Make();
  for (const auto& [id, text] : {std::pair<std::uint16_t, std::u16string_view>{0x0804, u"0804"},
                                 {0x0404, u"0404"},
                                 {0x0C04, u"0C04"},
                                 {0x0411, u"0411"}}) {
    locale_.systemLanguage = id;
    EXPECT_EQ(language->GetOSDefaultLang(), text);
  }
}

TEST_F(LanguageTest, LocalTableLanguagesComeBeforeTheBuiltInOnes) {
  files_.AddFile(LocalTablePath(), LocalTable({u"0409", u"0804", u"0404"}));
  const auto language = Make();
  EXPECT_EQ(LanguageCodes(*language), (Codes{u"0409", u"0804", u"0404", u"CH", u"US"}));
  EXPECT_EQ(language->Table().Original.size(), 221u) << "the built-in originals replace the file's";
  language->SetLang(language->GetLanguageShortIDByIndex(1));
  EXPECT_EQ(translation_.Translate(u"Config"), u"Config (0804)");
  EXPECT_EQ(language->GetLanguageIndexByShortID(u"ch"), 3);
}

TEST_F(LanguageTest, LocalTableThatCannotBeUsedLeavesTheBuiltInTableAlone) {
  std::vector<std::uint8_t> damaged = LocalTable({u"0409"});
  damaged.pop_back();
  struct Case {
    const char* label;
    std::function<void()> plant;
  };
  const Case cases[] = {
      {"damaged", [&] { files_.AddFile(LocalTablePath(), damaged); }},
      {"unreadable",
       [&] {
         files_.AddFile(LocalTablePath(), LocalTable({u"0409"}));
         files_.MakeUnreadable(LocalTablePath());
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    debug_.lines.clear();
    c.plant();
    const auto language = Make();
    EXPECT_EQ(LanguageCodes(*language), (Codes{u"CH", u"US"}));
    ASSERT_EQ(debug_.lines.size(), 1u);
    EXPECT_NE(debug_.lines[0].find(u"xa.local"), std::u16string::npos);
  }
}

TEST_F(LanguageTest, LoadingATableFileAppendsItOrKeepsEverything) {
  locale_.userAbbreviatedLanguageName = u"CHS";
  const auto language = Make();
  const std::u16string file = u"C:\\Tables\\Extra.Local";
  EXPECT_FALSE(language->LoadFromFile(file)) << "a missing file";
  EXPECT_TRUE(debug_.lines.empty());

  std::vector<std::uint8_t> damaged = LocalTable({u"0411"});
  damaged.resize(damaged.size() - 2);
  files_.AddFolder(u"C:\\Tables");
  files_.AddFile(file, damaged);
  EXPECT_FALSE(language->LoadFromFile(file));
  EXPECT_EQ(LanguageCodes(*language), (Codes{u"CH", u"US"}));
  EXPECT_EQ(language->Table().Original.size(), 221u);
  EXPECT_EQ(translation_.Translate(u"Config"), u"打开配置");
  EXPECT_EQ(debug_.lines.size(), 1u);

  files_.AddFile(file, LocalTable({u"0411"}));
  EXPECT_TRUE(language->LoadFromFile(file));
  EXPECT_EQ(LanguageCodes(*language), (Codes{u"CH", u"US", u"0411"}));
  EXPECT_EQ(language->Table().Original, Codes{u"Config"});
}

TEST_F(LanguageTest, AutoSelectPicksTheUserLanguageWhenSwitchedOn) {
  const auto language = Make();
  EXPECT_FALSE(language->AutoSelect());
  int reports = 0;
  language->OnLanguageChanged = [&](TxaLanguage&, std::u16string_view, std::u16string_view) { ++reports; };

  locale_.userAbbreviatedLanguageName = u"CHS";
  language->SetAutoSelect(false);
  EXPECT_EQ(reports, 0);
  language->SetAutoSelect(true);
  EXPECT_TRUE(language->AutoSelect());
  EXPECT_EQ(language->Lang(), u"ch");
  EXPECT_EQ(reports, 1);
  EXPECT_EQ(translation_.Translate(u"About"), u"关于软件");

  locale_.userAbbreviatedLanguageName = u"ENU";
  language->SetAutoSelect(true);
  EXPECT_EQ(language->Lang(), u"en");
  EXPECT_EQ(translation_.Translate(u"About"), u"About");
}

TEST_F(LanguageTest, DesignTimeSwitchesDoNothing) {
  const auto language = Make();
  EXPECT_FALSE(language->Active());
  language->SetActive(true);
  EXPECT_TRUE(language->Active());
  language->SetActiveLoadFromFile(true);
  EXPECT_FALSE(language->ActiveLoadFromFile());
  EXPECT_EQ(LanguageCodes(*language), (Codes{u"CH", u"US"}));
}

TEST_F(LanguageTest, CountsTheComponentsThatRegisteredAForm) {
  FakeComponent form(u"TZelMonExMain3", u"ZelMonExMain3", ComponentKind::Form);
  FakeComponent dataModule(u"TDM", u"DM", ComponentKind::DataModule);
  const auto onForm = Make(&form);
  const auto onDataModule = Make(&dataModule);
  const auto unowned = Make();
  EXPECT_EQ(onForm->xaParentFormCount(), 1);
  {
    const auto secondOnForm = Make(&form);
    EXPECT_EQ(unowned->xaParentFormCount(), 2);
  }
  EXPECT_EQ(onForm->xaParentFormCount(), 1);
  EXPECT_EQ(translation_.RegisteredForms(), std::vector<TranslatableComponent*>{&form});
}

TEST_F(LanguageTest, TheActiveTableOutlivesTheComponent) {
  const TranslateText lookup = translation_.Lookup();
  Make()->SetLang(u"CH");
  EXPECT_EQ(lookup(u"Config"), u"打开配置");
}

// The walk over a form like the monitor's About window.
class ComponentWalkTest : public LanguageTest {
 protected:
  ComponentWalkTest() {
    form_.WithCaption(u"About").WithText(kHintProperty, u"");
    label_ = &form_.Add(u"TLabel", u"Label1").WithCaption(u"Hardware & Software Information:");
    button_ = &form_.Add(u"TButton", u"BtnOK").WithCaption(u"OK").WithText(kHintProperty, u"Close Window");
    menuItem_ = &form_.Add(u"TMenuItem", u"Config1").WithCaption(u"Config");
    FakeComponent& sheet = form_.Add(u"TTabSheet", u"TabSheet1").WithCaption(u"Basic");
    sheetLabel_ = &sheet.Add(u"TLabel", u"SheetLabel").WithCaption(u"Advanced");
    FakeComponent& panel = form_.Add(u"TPanel", u"Panel1");  // has neither caption nor hint
    panelLabel_ = &panel.Add(u"TLabel", u"Label2").WithCaption(u"Software Core:1.00.00");
    FakeComponent& group = panel.Add(u"TGroupBox", u"Group1").WithCaption(u"Macro");
    groupGrid_ = &group.Add(u"TxaGrid", u"Grid2").WithCaption(u"Save");
    formGrid_ = &form_.Add(u"TxaGrid", u"Grid1").WithCaption(u"Load File");
    scene_ = &form_.Add(u"TvgScene", u"vgScene1", ComponentKind::Scene);
    sceneText_ = &scene_->Add(u"TvgText", u"Text1").WithCaption(u"Recording...");
  }

  struct Handover {
    const TranslatableComponent* component;
    std::u16string baseName;
    bool translate;
  };

  std::unique_ptr<TxaLanguage> MakeOnForm() {
    auto language = Make(&form_);
    language->SetCustomClassList({u"TxaGrid"});
    language->OnCustomTranslate = [this](TranslatableComponent& component, TxaLanguage::TextList&,
                                         TxaLanguage::VisitedComponents&, std::u16string_view baseName,
                                         bool translate) {
      handovers_.push_back({&component, std::u16string(baseName), translate});
    };
    return language;
  }

  FakeComponent form_{u"TZelMonExMain3", u"ZelMonExMain3", ComponentKind::Form};
  FakeComponent* label_;
  FakeComponent* button_;
  FakeComponent* menuItem_;
  FakeComponent* sheetLabel_;
  FakeComponent* panelLabel_;
  FakeComponent* groupGrid_;
  FakeComponent* formGrid_;
  FakeComponent* scene_;
  FakeComponent* sceneText_;
  std::vector<Handover> handovers_;
};

TEST_F(ComponentWalkTest, CollectsTheTextsOfWalkedComponentsWithoutChangingThem) {
  const auto language = MakeOnForm();
  translation_.Activate(language->Table().Resources[0]);

  TxaLanguage::TextList texts;
  language->TranslateComponent(form_, texts, false);
  EXPECT_EQ(texts, (Codes{u"About", u"Hardware & Software Information:", u"OK", u"Close Window",
                          u"Software Core:1.00.00", u"Macro"}));
  EXPECT_EQ(label_->Caption(), u"Hardware & Software Information:");
  EXPECT_EQ(form_.WriteCount(), 0);
  ASSERT_EQ(handovers_.size(), 2u);
  EXPECT_FALSE(handovers_[0].translate);
}

TEST_F(ComponentWalkTest, SelectingALanguageTranslatesTheRegisteredForms) {
  const auto language = MakeOnForm();
  translation_.RegisterScene(*scene_);
  language->SetLang(u"CH");

  EXPECT_EQ(form_.Caption(), u"关于软件");
  EXPECT_EQ(label_->Caption(), u"硬件与软件信息：");
  EXPECT_EQ(button_->Caption(), u"确定");
  EXPECT_EQ(button_->Text(kHintProperty), u"关闭窗口");
  EXPECT_EQ(panelLabel_->Caption(), u"软件版本：1.00.00");
  // Special classes are skipped with everything they own.
  EXPECT_EQ(menuItem_->Caption(), u"Config");
  EXPECT_EQ(sheetLabel_->Caption(), u"Advanced");
  // Custom classes are handed over instead, with the path of the component
  // that owns them.
  ASSERT_EQ(handovers_.size(), 2u);
  EXPECT_EQ(handovers_[0].component, groupGrid_);
  EXPECT_EQ(handovers_[0].baseName, u"TZelMonExMain3.Panel1");
  EXPECT_TRUE(handovers_[0].translate);
  EXPECT_EQ(handovers_[1].component, formGrid_);
  EXPECT_EQ(handovers_[1].baseName, u"TZelMonExMain3");
  EXPECT_EQ(groupGrid_->Caption(), u"Save");
  // The scene is left to the active table, which translated it already.
  EXPECT_EQ(sceneText_->Caption(), u"录制中...");

  // Switching to English: the scene goes back through the old table and
  // follows, while a walked caption translated into Chinese has no entry in
  // the English table and keeps its text.
  language->SetLang(u"US");
  EXPECT_EQ(sceneText_->Caption(), u"Recording...");
  EXPECT_EQ(label_->Caption(), u"硬件与软件信息：");

  language->SetLang(u"CH");
  EXPECT_EQ(sceneText_->Caption(), u"录制中...");
  language->SetLang(u"en");
  EXPECT_EQ(sceneText_->Caption(), u"Recording...");
  EXPECT_EQ(button_->Caption(), u"确定");
  translation_.UnregisterScene(*scene_);
}

TEST_F(ComponentWalkTest, SelectingAnEmptyCodeChangesNoText) {
  const auto language = MakeOnForm();
  language->SetLang(u"CH");
  const std::u16string shortId = language->GetLanguageShortIDByIndex(5);
  ASSERT_EQ(shortId, u"");
  const int writes = label_->WriteCount() + form_.WriteCount() + button_->WriteCount();
  language->SetLang(shortId);
  EXPECT_EQ(label_->Caption(), u"硬件与软件信息：");
  EXPECT_EQ(label_->WriteCount() + form_.WriteCount() + button_->WriteCount(), writes);
  EXPECT_EQ(translation_.Translate(u"Config"), u"打开配置");
}

TEST_F(ComponentWalkTest, ComponentsACustomTranslationMarkedVisitedAreNotWalked) {
  const auto language = MakeOnForm();
  language->SetLang(u"CH");
  FakeComponent other(u"TOther", u"Other", ComponentKind::Form);
  other.Add(u"TxaGrid", u"Grid").WithCaption(u"Save");
  FakeComponent& claimed = other.Add(u"TLabel", u"Claimed").WithCaption(u"Exit");
  FakeComponent& unclaimed = other.Add(u"TLabel", u"Unclaimed").WithCaption(u"Exit");
  language->OnCustomTranslate = [&](TranslatableComponent&, TxaLanguage::TextList&,
                                    TxaLanguage::VisitedComponents& visited, std::u16string_view,
                                    bool) { visited.insert(&claimed); };
  TxaLanguage::TextList texts;
  language->TranslateComponent(other, texts, true);
  EXPECT_EQ(claimed.Caption(), u"Exit");
  EXPECT_EQ(unclaimed.Caption(), u"退出软件");
}

TEST_F(ComponentWalkTest, TheApplicationIsWalkedWithoutItsForms) {
  const auto language = Make();
  language->SetLang(u"CH");
  FakeComponent application(u"TApplication", u"", ComponentKind::Application);
  FakeComponent& form =
      application.Add(u"TZelMonExMain3", u"ZelMonExMain3", ComponentKind::Form).WithCaption(u"About");
  FakeComponent& module = application.Add(u"TDM", u"DM", ComponentKind::DataModule).WithCaption(u"Exit");
  FakeComponent& lone = module.Add(u"TLabel", u"Lone").WithCaption(u"Config");

  TxaLanguage::TextList texts;
  language->TranslateComponent(application, texts, true);
  EXPECT_EQ(form.Caption(), u"About");
  EXPECT_EQ(module.Caption(), u"退出软件");
  EXPECT_EQ(lone.Caption(), u"打开配置");

  // A component that owns nothing has only its own texts translated.
  FakeComponent single(u"TLabel", u"Single");
  single.WithCaption(u"Up");
  language->TranslateComponent(single, texts, true);
  EXPECT_EQ(single.Caption(), u"放开");
}

TEST_F(ComponentWalkTest, ComponentPathsNameTheFormAndTheOwnersBelowIt) {
  FakeComponent dataModule(u"TDM", u"DM", ComponentKind::DataModule);
  FakeComponent& onModule = dataModule.Add(u"TTimer", u"Timer1");
  FakeComponent& belowModule = onModule.Add(u"TLabel", u"Inner");
  FakeComponent unowned(u"TLabel", u"Alone");
  FakeComponent& ownedByUnowned = unowned.Add(u"TLabel", u"Child");

  struct Case {
    const char* label;
    const TranslatableComponent* component;
    std::u16string_view path;
  };
  const Case cases[] = {
      {"form", &form_, u"TZelMonExMain3"},
      {"component on the form", label_, u"TZelMonExMain3"},
      {"below a panel", panelLabel_, u"TZelMonExMain3.Panel1"},
      {"two owners down", groupGrid_, u"TZelMonExMain3.Panel1.Group1"},
      {"data module", &dataModule, u"TDM"},
      {"on a data module", &onModule, u"TDM.DM"},
      {"below a data module", &belowModule, u"TDM.DM.Timer1"},
      {"no owner", &unowned, u""},
      {"owners end before a form", &ownedByUnowned, u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(TxaLanguage::GetComponentPath(*c.component), c.path);
  }
}

}  // namespace
}  // namespace monitor
