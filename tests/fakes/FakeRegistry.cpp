#include "fakes/FakeRegistry.h"

namespace monitor::fakes {
namespace {

// Registry names are case-insensitive; our names are ASCII.
std::u16string Fold(std::u16string_view text) {
  std::u16string folded(text);
  for (char16_t& unit : folded) {
    if (unit >= u'A' && unit <= u'Z') {
      unit = static_cast<char16_t>(unit - u'A' + u'a');
    }
  }
  return folded;
}

}  // namespace

class FakeRegistryKey final : public RegistryKey {
 public:
  explicit FakeRegistryKey(FakeRegistry::Values& values) : values_(values) {}

  std::optional<RegistryValue> QueryValue(std::u16string_view name) override {
    const auto found = values_.find(Fold(name));
    if (found == values_.end()) {
      return std::nullopt;
    }
    return found->second.value;
  }

  void SetValue(std::u16string_view name, const RegistryValue& value) override {
    values_[Fold(name)] = {std::u16string(name), value};
  }

 private:
  FakeRegistry::Values& values_;
};

std::unique_ptr<RegistryKey> FakeRegistry::OpenKey(RegistryRoot root, std::u16string_view path,
                                                   KeyOpening opening) {
  if (root != RegistryRoot::CurrentUser && root != RegistryRoot::LocalMachine) {
    return nullptr;
  }
  const std::u16string folded = Fold(path);
  if (opening == KeyOpening::ExistingOnly && !keys_.contains({root, folded})) {
    return nullptr;
  }
  // Creating a key creates every missing level above it, as Windows does.
  for (std::size_t slash = folded.find(u'\\'); slash != std::u16string::npos;
       slash = folded.find(u'\\', slash + 1)) {
    keys_[{root, folded.substr(0, slash)}];
  }
  return std::make_unique<FakeRegistryKey>(keys_[{root, folded}]);
}

}  // namespace monitor::fakes
