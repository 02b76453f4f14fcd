// TxaLanguage: the translation component of a window. It loads the
// translation table (an optional "xa.local" beside the executable, then the
// built-in table), selects the active language, and walks the components of
// the forms that carry one to translate their captions and hints.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "i18n/ActiveTranslation.h"
#include "i18n/TranslatableComponent.h"
#include "i18n/TranslationTable.h"
#include "platform/DebugOutput.h"
#include "platform/FileSystem.h"
#include "platform/KnownFolders.h"
#include "platform/Locale.h"

namespace monitor {

inline constexpr std::u16string_view kLocalTableFileName = u"xa.local";

struct LanguageServices {
  ActiveTranslation& translation;
  Locale& locale;
  FileSystem& files;
  KnownFolders& folders;
  DebugOutput& debug;
};

class TxaLanguage {
 public:
  using TextList = std::vector<std::u16string>;
  using VisitedComponents = std::unordered_set<const TranslatableComponent*>;
  // Translates a component of a class in CustomClassList, which the walk
  // hands over instead of walking it.
  using TOnCustomTranslate =
      std::function<void(TranslatableComponent& AComponent, TextList& ATextList, VisitedComponents& AList,
                         std::u16string_view BaseName, bool ATranslate)>;
  // Raised after every language selection.
  using TOnLanguageChanged = std::function<void(TxaLanguage& AComponent, std::u16string_view LanguageShortID,
                                                std::u16string_view LanguageLongName)>;

  // Loads the tables and selects the language of the user's locale when the
  // table has it. A form owner is registered for the walks of SetLang.
  TxaLanguage(LanguageServices services, TranslatableComponent* AOwner);
  ~TxaLanguage();
  TxaLanguage(const TxaLanguage&) = delete;
  TxaLanguage& operator=(const TxaLanguage&) = delete;

  // ---- Properties ----
  // Design-time switches: Active is only stored, ActiveLoadFromFile is
  // always false.
  [[nodiscard]] bool Active() const { return FActive; }
  void SetActive(bool AActive) { FActive = AActive; }
  [[nodiscard]] bool ActiveLoadFromFile() const { return false; }
  void SetActiveLoadFromFile(bool) {}
  // Setting it to true selects the language of the user's locale.
  [[nodiscard]] bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool AAutoSelect);
  // Live components that registered a form, process-wide.
  [[nodiscard]] int xaParentFormCount() const;
  // The code last selected through Lang; setting it selects a language.
  [[nodiscard]] const std::u16string& Lang() const { return FLanguageName; }
  void SetLang(std::u16string_view ALang);
  // Class names the walk skips, together with everything they own.
  [[nodiscard]] const std::vector<std::u16string>& SpecialClassName() const {
    return FTranslateSpecialClassList;
  }
  [[nodiscard]] const std::vector<std::u16string>& CustomClassList() const {
    return FTranslateCustomClassList;
  }
  void SetCustomClassList(std::vector<std::u16string> AList) { FTranslateCustomClassList = std::move(AList); }

  TOnCustomTranslate OnCustomTranslate;
  TOnLanguageChanged OnLanguageChanged;

  // The languages and the originals.
  [[nodiscard]] const TranslationTable& Table() const { return table_; }

  // ---- Operations ----
  // The system default language identifier: "0804", "0404", "0411", ...
  [[nodiscard]] std::u16string GetOSDefaultLang() const;
  // Position of the code in the language list, regardless of case; -1 when absent.
  [[nodiscard]] int GetLanguageIndexByShortID(std::u16string_view Index) const;
  // The code at the position; empty outside the list.
  [[nodiscard]] std::u16string GetLanguageShortIDByIndex(int Index) const;
  // The display name of a language identifier ("0409"); empty when the
  // system knows none. Both read one table, since the system names a
  // locale's language by its identifier under either key.
  [[nodiscard]] std::u16string GetLanguageLongNameByLangID(std::u16string_view LangID) const;
  [[nodiscard]] std::u16string GetLanguageLongNameByShortID(std::u16string_view ShortID) const;

  // Appends the languages of a table file and replaces the originals. False,
  // with the table unchanged, when the file is missing, unreadable or
  // damaged; the last two are reported on the debug output.
  bool LoadFromFile(std::u16string_view AFileName);

  // ---- The walk over a component tree ----
  // Collects the captions and hints of the component and everything it
  // owns into ATextList and, with ATranslate, replaces them by their
  // translations. An empty BaseName becomes the component's path.
  void TranslateComponent(TranslatableComponent& AComponent, TextList& ATextList, bool ATranslate,
                          std::u16string_view BaseName = {});
  // The component's own texts, then each component it owns that is neither
  // a special class, a custom class (handed to OnCustomTranslate), a form
  // below the application, a scene nor visited before.
  void WalkComponents(TranslatableComponent& AComponent, TextList& ATextList, VisitedComponents& AList,
                      std::u16string_view BaseName, bool ATranslate);
  // The component's non-empty captions and hints, looked up in the active
  // table.
  void TranslateProperties(TranslatableComponent& AComponent, TextList& ATextList, bool ATranslate);
  // The form's class name for a form, a data module or a component a form
  // owns; otherwise the owner's path, ".", the owner's name; empty when
  // the chain of owners ends before a form.
  static std::u16string GetComponentPath(const TranslatableComponent& AComponent);

 private:
  [[nodiscard]] std::u16string UserLanguageCode() const;

  LanguageServices services_;
  TranslatableComponent* registeredForm_ = nullptr;
  TranslationTable table_;
  std::map<std::u16string, std::u16string> languageNames_;  // by language identifier, "0409"

  bool FActive = false;
  bool FAutoSelect = false;
  std::u16string FLanguageName;
  std::vector<std::u16string> FTranslateSpecialClassList;
  std::vector<std::u16string> FTranslateCustomClassList;
};

}  // namespace monitor
