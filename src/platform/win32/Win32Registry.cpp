#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include <string>

#include "platform/PlatformError.h"
#include "platform/win32/UniqueResource.h"
#include "platform/win32/WideText.h"

namespace monitor::win32 {
namespace {

using UniqueKey = UniqueResource<HKEY, &RegCloseKey>;

HKEY RootHandle(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::CurrentUser:
      return HKEY_CURRENT_USER;
    case RegistryRoot::LocalMachine:
      return HKEY_LOCAL_MACHINE;
  }
  return nullptr;
}

class Win32RegistryKey final : public RegistryKey {
 public:
  explicit Win32RegistryKey(UniqueKey key) : key_(std::move(key)) {}

  std::optional<RegistryValue> QueryValue(std::u16string_view name) override {
    const std::wstring wideName = ToWide(name);
    RegistryValue value;
    // The value may change size between the two calls; ask again until it fits.
    for (;;) {
      DWORD type = REG_NONE;
      DWORD size = 0;
      LSTATUS status = RegQueryValueExW(key_.get(), wideName.c_str(), nullptr, &type, nullptr, &size);
      if (status == ERROR_FILE_NOT_FOUND) {
        return std::nullopt;
      }
      if (status != ERROR_SUCCESS) {
        throw PlatformError("cannot read registry value " + Narrow(name), static_cast<std::uint32_t>(status));
      }
      value.data.resize(size);
      status = RegQueryValueExW(key_.get(), wideName.c_str(), nullptr, &type, value.data.data(), &size);
      if (status == ERROR_MORE_DATA) {
        continue;
      }
      if (status == ERROR_FILE_NOT_FOUND) {
        return std::nullopt;
      }
      if (status != ERROR_SUCCESS) {
        throw PlatformError("cannot read registry value " + Narrow(name), static_cast<std::uint32_t>(status));
      }
      value.data.resize(size);
      value.type = static_cast<RegistryValueType>(type);
      return value;
    }
  }

  void SetValue(std::u16string_view name, const RegistryValue& value) override {
    const std::wstring wideName = ToWide(name);
    const LSTATUS status = RegSetValueExW(key_.get(), wideName.c_str(), 0, static_cast<DWORD>(value.type),
                                          value.data.data(), static_cast<DWORD>(value.data.size()));
    if (status != ERROR_SUCCESS) {
      throw PlatformError("cannot write registry value " + Narrow(name), static_cast<std::uint32_t>(status));
    }
  }

 private:
  UniqueKey key_;
};

}  // namespace

std::unique_ptr<RegistryKey> Win32Registry::OpenKey(RegistryRoot root, std::u16string_view path,
                                                    KeyOpening opening) {
  const HKEY rootHandle = RootHandle(root);
  if (rootHandle == nullptr) {
    return nullptr;
  }
  const std::wstring widePath = ToWide(path);
  UniqueKey key;
  const LSTATUS status =
      opening == KeyOpening::CreateIfMissing
          ? RegCreateKeyExW(rootHandle, widePath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, key.put(), nullptr)
          : RegOpenKeyExW(rootHandle, widePath.c_str(), 0, KEY_ALL_ACCESS, key.put());
  if (status != ERROR_SUCCESS) {
    return nullptr;
  }
  return std::make_unique<Win32RegistryKey>(std::move(key));
}

}  // namespace monitor::win32
