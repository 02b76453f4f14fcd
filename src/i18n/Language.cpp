#include "i18n/Language.h"

#include <algorithm>
#include <stdexcept>

#include "i18n/EmbeddedTable.h"
#include "i18n/LanguageId.h"
#include "platform/PlatformError.h"
#include "platform/Utf8.h"
#include "profiles/TextCase.h"

namespace monitor {
namespace {

// The language of the originals: selecting it drops the active table.
constexpr std::u16string_view kOriginalLanguage = u"en";

// Classes whose texts and item lists the walk leaves alone.
constexpr std::u16string_view kSpecialClasses[] = {u"TMenuItem",   u"TTabControl", u"TTabSheet",
                                                   u"TListView",   u"TTreeView",   u"TStatusBar",
                                                   u"TComboBoxEx", u"TxaMenuEx"};

bool Contains(const std::vector<std::u16string>& classNames, std::u16string_view className) {
  return std::any_of(classNames.begin(), classNames.end(),
                     [&](const std::u16string& name) { return EqualIgnoringCase(name, className); });
}

bool IsFormOrDataModule(const TranslatableComponent& component) {
  return component.Kind() == ComponentKind::Form || component.Kind() == ComponentKind::DataModule;
}

// nullopt where the chain of owners ends before a form.
std::optional<std::u16string> PathOf(const TranslatableComponent& component) {
  if (IsFormOrDataModule(component)) {
    return component.ClassName();
  }
  const TranslatableComponent* owner = component.Owner();
  if (owner == nullptr) {
    return std::nullopt;
  }
  if (owner->Kind() == ComponentKind::Form) {
    return owner->ClassName();
  }
  const std::optional<std::u16string> ownerPath = PathOf(*owner);
  return ownerPath ? std::optional(*ownerPath + u"." + owner->Name()) : std::nullopt;
}

}  // namespace

TxaLanguage::TxaLanguage(LanguageServices services, TranslatableComponent* AOwner)
    : services_(services),
      FTranslateSpecialClassList(std::begin(kSpecialClasses), std::end(kSpecialClasses)) {
  for (const LocaleLanguage& locale : services_.locale.SupportedLocales()) {
    languageNames_[LanguageIdText(locale.languageId)] = locale.displayName;
  }

  // The language list is still empty, so the file's languages come first.
  const std::u16string folder = services_.folders.ExecutableFolder();
  if (!folder.empty()) {
    LoadFromFile(folder + std::u16string(kLocalTableFileName));
  }
  // Then the built-in table, as the window's resource is read: its
  // originals replace the file's and its languages follow.
  if (!table_.ReadLayout(EmbeddedTableLayout())) {
    throw std::logic_error("the built-in translation table is damaged");
  }
  // The table of the user's language becomes active when there is one;
  // Lang stays empty until a language is selected through it.
  const int userLanguage = table_.IndexOf(UserLanguageCode());
  if (userLanguage >= 0) {
    services_.translation.Activate(table_.Resources[static_cast<std::size_t>(userLanguage)]);
  }

  // Registered last, so that nothing above can leave a form registered
  // by a component that was never made.
  if (AOwner != nullptr && AOwner->Kind() == ComponentKind::Form) {
    registeredForm_ = AOwner;
    services_.translation.RegisterForm(*AOwner);
  }
}

TxaLanguage::~TxaLanguage() {
  if (registeredForm_ != nullptr) {
    services_.translation.UnregisterForm(*registeredForm_);
  }
}

void TxaLanguage::SetAutoSelect(bool AAutoSelect) {
  FAutoSelect = AAutoSelect;
  if (AAutoSelect) {
    SetLang(UserLanguageCode());
  }
}

int TxaLanguage::xaParentFormCount() const {
  return static_cast<int>(services_.translation.RegisteredForms().size());
}

void TxaLanguage::SetLang(std::u16string_view ALang) {
  if (EqualIgnoringCase(ALang, kOriginalLanguage)) {
    services_.translation.Drop();
  } else if (const int index = table_.IndexOf(ALang); index >= 0) {
    services_.translation.Activate(table_.Resources[static_cast<std::size_t>(index)]);
  }
  // An unknown code keeps the active table, but is still the language now.
  FLanguageName = ALang;

  // A copy: a custom translation may make or destroy forms.
  const std::vector<TranslatableComponent*> forms = services_.translation.RegisteredForms();
  for (TranslatableComponent* form : forms) {
    TextList texts;
    TranslateComponent(*form, texts, true);
  }
  if (OnLanguageChanged) {
    OnLanguageChanged(*this, FLanguageName, GetLanguageLongNameByShortID(FLanguageName));
  }
}

// The first two letters, in lower case, of the user locale's abbreviated
// language name: "ENU" gives "en", "CHS" gives "ch".
std::u16string TxaLanguage::UserLanguageCode() const {
  return AsciiLowercase(services_.locale.UserAbbreviatedLanguageName().substr(0, 2));
}

std::u16string TxaLanguage::GetOSDefaultLang() const {
  return LanguageIdText(services_.locale.SystemDefaultLanguageId());
}

int TxaLanguage::GetLanguageIndexByShortID(std::u16string_view Index) const { return table_.IndexOf(Index); }

std::u16string TxaLanguage::GetLanguageShortIDByIndex(int Index) const {
  if (Index < 0 || static_cast<std::size_t>(Index) >= table_.Resources.size()) {
    return {};
  }
  return table_.Resources[static_cast<std::size_t>(Index)].code;
}

std::u16string TxaLanguage::GetLanguageLongNameByLangID(std::u16string_view LangID) const {
  const auto found = languageNames_.find(AsciiUppercase(LangID));
  return found == languageNames_.end() ? std::u16string() : found->second;
}

std::u16string TxaLanguage::GetLanguageLongNameByShortID(std::u16string_view ShortID) const {
  return GetLanguageLongNameByLangID(ShortID);
}

bool TxaLanguage::LoadFromFile(std::u16string_view AFileName) {
  const std::u16string fileName(AFileName);
  if (!services_.files.FileExists(fileName)) {
    return false;
  }
  std::vector<std::uint8_t> bytes;
  try {
    bytes = services_.files.ReadWholeFile(fileName);
  } catch (const PlatformError& error) {
    services_.debug.Write(u"TxaLanguage: cannot read " + fileName + u": " +
                          FromUtf8(error.what()).value_or(u"(unreadable message)"));
    return false;
  }
  // A damaged table is rejected whole and the languages loaded so far stay
  // as they are: half a table would show some texts translated and others
  // not, or garbage read past a length that runs beyond the file.
  if (!table_.ReadLayout(bytes)) {
    services_.debug.Write(u"TxaLanguage: " + fileName + u" is damaged and was not loaded");
    return false;
  }
  return true;
}

void TxaLanguage::TranslateComponent(TranslatableComponent& AComponent, TextList& ATextList, bool ATranslate,
                                     std::u16string_view BaseName) {
  const std::u16string baseName = BaseName.empty() ? GetComponentPath(AComponent) : std::u16string(BaseName);
  VisitedComponents visited{&AComponent};
  if (AComponent.Components().empty()) {
    TranslateProperties(AComponent, ATextList, ATranslate);
  } else {
    WalkComponents(AComponent, ATextList, visited, baseName, ATranslate);
  }
}

void TxaLanguage::WalkComponents(TranslatableComponent& AComponent, TextList& ATextList,
                                 VisitedComponents& AList, std::u16string_view BaseName, bool ATranslate) {
  TranslateProperties(AComponent, ATextList, ATranslate);
  const std::u16string itemBaseName = AComponent.Kind() == ComponentKind::Form
                                          ? std::u16string(BaseName)
                                          : std::u16string(BaseName) + u"." + AComponent.Name();
  for (TranslatableComponent* item : AComponent.Components()) {
    const std::u16string className = item->ClassName();
    if (Contains(FTranslateSpecialClassList, className)) {
      continue;
    }
    if (Contains(FTranslateCustomClassList, className)) {
      if (OnCustomTranslate) {
        OnCustomTranslate(*item, ATextList, AList, BaseName, ATranslate);
      }
      continue;
    }
    if (AComponent.Kind() == ComponentKind::Application && item->Kind() == ComponentKind::Form) {
      continue;
    }
    if (item->Kind() == ComponentKind::Scene) {
      AList.insert(item);  // the scene follows the active table by itself
      continue;
    }
    if (AList.insert(item).second) {
      WalkComponents(*item, ATextList, AList, itemBaseName, ATranslate);
    }
  }
}

void TxaLanguage::TranslateProperties(TranslatableComponent& AComponent, TextList& ATextList,
                                      bool ATranslate) {
  for (const std::u16string_view property : kTranslatedProperties) {
    const std::optional<std::u16string> text = AComponent.Text(property);
    if (!text || text->empty()) {
      continue;
    }
    ATextList.push_back(*text);
    const std::u16string translation = services_.translation.Translate(*text);
    if (ATranslate && translation != *text) {
      AComponent.SetText(property, translation);
    }
  }
}

std::u16string TxaLanguage::GetComponentPath(const TranslatableComponent& AComponent) {
  return PathOf(AComponent).value_or(std::u16string());
}

}  // namespace monitor
