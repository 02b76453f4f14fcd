#include "i18n/ActiveTranslation.h"

#include <algorithm>
#include <utility>

namespace monitor {
namespace {

using OptionalTable = std::optional<TranslationLanguage>;

std::u16string_view TranslatedBy(const OptionalTable& table, std::u16string_view text) {
  if (!table || text.empty()) {
    return text;
  }
  const std::optional<std::u16string_view> translation = table->TranslationOf(text);
  return translation && !translation->empty() ? *translation : text;
}

std::u16string_view OriginalBy(const OptionalTable& table, std::u16string_view text) {
  if (!table || text.empty()) {
    return text;
  }
  return table->OriginalOf(text).value_or(text);
}

void Retranslate(TranslatableComponent& component, const OptionalTable& from, const OptionalTable& to) {
  for (const std::u16string_view property : kTranslatedProperties) {
    const std::optional<std::u16string> text = component.Text(property);
    if (!text) {
      continue;
    }
    const std::u16string_view retranslated = TranslatedBy(to, OriginalBy(from, *text));
    if (retranslated != *text) {
      component.SetText(property, retranslated);
    }
  }
  for (TranslatableComponent* owned : component.Components()) {
    Retranslate(*owned, from, to);
  }
}

void EraseFirst(std::vector<TranslatableComponent*>& list, TranslatableComponent& component) {
  const auto found = std::find(list.begin(), list.end(), &component);
  if (found != list.end()) {
    list.erase(found);
  }
}

}  // namespace

std::u16string ActiveTranslation::Translate(std::u16string_view text) const {
  return std::u16string(TranslatedBy(table_, text));
}

TranslateText ActiveTranslation::Lookup() const {
  return [this](std::u16string_view text) { return Translate(text); };
}

void ActiveTranslation::Activate(const TranslationLanguage& language) { Replace(language); }

void ActiveTranslation::Drop() { Replace(std::nullopt); }

void ActiveTranslation::Replace(std::optional<TranslationLanguage> table) {
  const OptionalTable old = std::exchange(table_, std::move(table));
  for (TranslatableComponent* scene : scenes_) {
    Retranslate(*scene, old, table_);
  }
}

void ActiveTranslation::RegisterScene(TranslatableComponent& scene) {
  scenes_.push_back(&scene);
  Retranslate(scene, std::nullopt, table_);
}

void ActiveTranslation::UnregisterScene(TranslatableComponent& scene) { EraseFirst(scenes_, scene); }

void ActiveTranslation::RegisterForm(TranslatableComponent& form) { forms_.push_back(&form); }

void ActiveTranslation::UnregisterForm(TranslatableComponent& form) { EraseFirst(forms_, form); }

}  // namespace monitor
