#include "fakes/FakeRegistry.h"

#include "platform/PlatformError.h"
#include "profiles/TextCase.h"

namespace monitor::fakes {
namespace {

// Registry names are case-insensitive; our names are ASCII.
std::u16string Fold(std::u16string_view text) { return AsciiLowercase(text); }

}  // namespace

class FakeRegistryKey final : public RegistryKey {
 public:
  FakeRegistryKey(FakeRegistry::Values& values, const bool& failWrites)
      : values_(values), failWrites_(failWrites) {}

  std::optional<RegistryValue> QueryValue(std::u16string_view name) override {
    const auto found = values_.find(Fold(name));
    if (found == values_.end()) {
      return std::nullopt;
    }
    return found->second.value;
  }

  void SetValue(std::u16string_view name, const RegistryValue& value) override {
    if (failWrites_) {
      throw PlatformError("cannot write registry value", 5);
    }
    values_[Fold(name)] = {std::u16string(name), value};
  }

 private:
  FakeRegistry::Values& values_;
  const bool& failWrites_;
};

std::unique_ptr<RegistryKey> FakeRegistry::OpenKey(RegistryRoot root, std::u16string_view path,
                                                   KeyOpening opening) {
  if (root != RegistryRoot::CurrentUser && root != RegistryRoot::LocalMachine) {
    return nullptr;
  }
  const std::u16string folded = Fold(path);
  for (const auto& [deniedRoot, deniedPath] : denied_) {
    if (deniedRoot == root && (folded == deniedPath || folded.starts_with(deniedPath + u"\\"))) {
      return nullptr;
    }
  }
  if (opening == KeyOpening::ExistingOnly && !keys_.contains({root, folded})) {
    return nullptr;
  }
  // Creating a key creates every missing level above it, as Windows does.
  for (std::size_t slash = folded.find(u'\\'); slash != std::u16string::npos;
       slash = folded.find(u'\\', slash + 1)) {
    keys_[{root, folded.substr(0, slash)}];
  }
  return std::make_unique<FakeRegistryKey>(keys_[{root, folded}], failWrites_);
}

void FakeRegistry::DenyAccess(RegistryRoot root, std::u16string_view path) {
  denied_.emplace_back(root, Fold(path));
}

}  // namespace monitor::fakes
