// A component tree in memory for the translation walks: each component
// owns the ones added to it and has only the texts it was given.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "i18n/TranslatableComponent.h"

namespace monitor::fakes {

class FakeComponent final : public TranslatableComponent {
 public:
  FakeComponent(std::u16string className, std::u16string name, ComponentKind kind = ComponentKind::Component,
                FakeComponent* owner = nullptr)
      : className_(std::move(className)), name_(std::move(name)), kind_(kind), owner_(owner) {}

  // A new component owned by this one, after those it owns already.
  FakeComponent& Add(std::u16string className, std::u16string name,
                     ComponentKind kind = ComponentKind::Component) {
    return *owned_.emplace_back(
        std::make_unique<FakeComponent>(std::move(className), std::move(name), kind, this));
  }
  FakeComponent& WithText(std::u16string_view property, std::u16string text) {
    texts_[std::u16string(property)] = std::move(text);
    return *this;
  }
  FakeComponent& WithCaption(std::u16string caption) {
    return WithText(kCaptionProperty, std::move(caption));
  }

  [[nodiscard]] std::u16string Caption() const { return Text(kCaptionProperty).value_or(u"(none)"); }
  [[nodiscard]] int WriteCount() const { return writeCount_; }

  std::u16string ClassName() const override { return className_; }
  std::u16string Name() const override { return name_; }
  ComponentKind Kind() const override { return kind_; }
  TranslatableComponent* Owner() const override { return owner_; }
  std::vector<TranslatableComponent*> Components() const override {
    std::vector<TranslatableComponent*> components;
    for (const auto& owned : owned_) {
      components.push_back(owned.get());
    }
    return components;
  }
  std::optional<std::u16string> Text(std::u16string_view property) const override {
    const auto found = texts_.find(property);
    return found == texts_.end() ? std::nullopt : std::optional(found->second);
  }
  void SetText(std::u16string_view property, std::u16string_view text) override {
    const auto found = texts_.find(property);
    if (found != texts_.end()) {
      found->second = text;
      ++writeCount_;
    }
  }

 private:
  std::u16string className_;
  std::u16string name_;
  ComponentKind kind_;
  FakeComponent* owner_;
  std::vector<std::unique_ptr<FakeComponent>> owned_;
  std::map<std::u16string, std::u16string, std::less<>> texts_;
  int writeCount_ = 0;
};

}  // namespace monitor::fakes
