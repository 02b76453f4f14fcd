// The one translation active in the process. Every translation component
// selects into it and every text lookup reads it, so the monitor makes one
// at start, before anything translates, and keeps it for the whole run;
// the components and the lookups it hands out refer to it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "i18n/TranslatableComponent.h"
#include "i18n/TranslateText.h"
#include "i18n/TranslationTable.h"

namespace monitor {

class ActiveTranslation {
 public:
  ActiveTranslation() = default;
  ActiveTranslation(const ActiveTranslation&) = delete;
  ActiveTranslation& operator=(const ActiveTranslation&) = delete;

  // The global text lookup: the translation in the active table; the text
  // itself when no table is active, the table has no entry for it or the
  // entry's translation is empty; empty for an empty text.
  [[nodiscard]] std::u16string Translate(std::u16string_view text) const;
  // The same lookup for code that takes a TranslateText; it reads this
  // object, which must outlive it.
  [[nodiscard]] TranslateText Lookup() const;

  // A copy of the language becomes the active table, so it stays valid
  // whatever becomes of the table it came from.
  void Activate(const TranslationLanguage& language);
  // No table: every text shows as its original.
  void Drop();

  // Scenes of the vector UI pack. Whenever the active table is replaced or
  // dropped, each text of a registered scene and of everything it owns first
  // goes back to its original by a reverse lookup in the old table, then
  // takes its translation from the new one. A scene is translated when it
  // registers; it must unregister before it is destroyed.
  void RegisterScene(TranslatableComponent& scene);
  void UnregisterScene(TranslatableComponent& scene);

  // Forms that carry a translation component, in registration order; a form
  // registered twice is listed twice.
  void RegisterForm(TranslatableComponent& form);
  void UnregisterForm(TranslatableComponent& form);  // one registration of it
  [[nodiscard]] const std::vector<TranslatableComponent*>& RegisteredForms() const { return forms_; }

 private:
  void Replace(std::optional<TranslationLanguage> table);

  std::optional<TranslationLanguage> table_;
  std::vector<TranslatableComponent*> scenes_;
  std::vector<TranslatableComponent*> forms_;
};

}  // namespace monitor
