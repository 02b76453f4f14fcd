// An in-memory registry with the Windows registry's observable behaviour
// (checked by the same contract tests that run against the real one).
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/Registry.h"

namespace monitor::fakes {

class FakeRegistry final : public Registry {
 public:
  std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, std::u16string_view path,
                                       KeyOpening opening) override;

  // Failure switches for tests: keys that cannot be opened (with everything
  // below them), and writes that fail.
  void DenyAccess(RegistryRoot root, std::u16string_view path);
  void FailWrites(bool fail) { failWrites_ = fail; }

 private:
  friend class FakeRegistryKey;
  struct StoredValue {
    std::u16string name;
    RegistryValue value;
  };
  using Values = std::map<std::u16string, StoredValue>;   // by case-folded name
  using KeyId = std::pair<RegistryRoot, std::u16string>;  // case-folded path

  std::map<KeyId, Values> keys_;
  std::vector<KeyId> denied_;
  bool failWrites_ = false;
};

}  // namespace monitor::fakes
