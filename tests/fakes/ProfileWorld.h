// A profile manager's world: registry, files, folders, locale and clock,
// all in memory, with helpers to plant and inspect stored records.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fakes/FakeEnvironment.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FakeRegistry.h"
#include "profiles/ProfileManager.h"
#include "profiles/RecordImage.h"

namespace monitor {

struct ProfileWorld {
  fakes::FakeRegistry registry;
  fakes::FakeFileSystem files;
  fakes::FakeKnownFolders folders;
  fakes::FakeLocale locale;
  fakes::FakeClock clock;
  fakes::FakeDebugOutput debug;
  TranslateText translate = [](std::u16string_view text) { return std::u16string(text); };

  ProfileWorld() {
    files.AddFolder(folders.documents);
    files.AddFolder(folders.executable);
  }

  std::unique_ptr<TDM> Start() {
    return std::make_unique<TDM>(ProfileServices{registry, files, folders, locale, clock, debug, translate});
  }

  std::optional<RegistryValue> Stored(std::u16string_view name) {
    const auto key = registry.OpenKey(RegistryRoot::CurrentUser, kProfileKeyPath, KeyOpening::ExistingOnly);
    return key ? key->QueryValue(name) : std::nullopt;
  }
  void Store(std::u16string_view name, const RegistryValue& value) {
    registry.OpenKey(RegistryRoot::CurrentUser, kProfileKeyPath, KeyOpening::CreateIfMissing)
        ->SetValue(name, value);
  }
  template <class Record>
  void StoreRecord(std::u16string_view name, const Record& record) {
    const auto bytes = RecordBytes(record);
    Store(name, {RegistryValueType::Binary, {bytes.begin(), bytes.end()}});
  }
  template <class Record>
  std::unique_ptr<Record> StoredRecord(std::u16string_view name) {
    auto record = std::make_unique<Record>();
    const auto value = Stored(name);
    if (!value) {
      return nullptr;
    }
    CopyImageInto(*record, value->data);
    return record;
  }
};

}  // namespace monitor
