// The registry as the logic needs it: keys under the current user's or the
// machine's root, holding named typed values.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace monitor {

// The two roots the programs use, with their Windows handle values, which
// stored component settings carry as plain numbers.
enum class RegistryRoot : std::uint32_t {
  CurrentUser = 0x80000001u,
  LocalMachine = 0x80000002u,
};

// Value types with their Windows numbers.
enum class RegistryValueType : std::uint32_t {
  None = 0,
  String = 1,
  ExpandString = 2,
  Binary = 3,
  Dword = 4,
  MultiString = 7,
  Qword = 11,
};

struct RegistryValue {
  RegistryValueType type = RegistryValueType::None;
  std::vector<std::uint8_t> data;

  friend bool operator==(const RegistryValue&, const RegistryValue&) = default;
};

RegistryValue DwordValue(std::uint32_t number);
// The number held by a DWORD value; nullopt for any other type or size.
std::optional<std::uint32_t> DwordOf(const RegistryValue& value);

// An open key. Names are compared without regard to case, as Windows does.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;

  // The value of that name, or nullopt when there is none.
  // Throws PlatformError when the value exists but cannot be read.
  virtual std::optional<RegistryValue> QueryValue(std::u16string_view name) = 0;

  // Creates or replaces the value. Throws PlatformError on failure.
  virtual void SetValue(std::u16string_view name, const RegistryValue& value) = 0;
};

enum class KeyOpening {
  ExistingOnly,
  CreateIfMissing,  // creates every missing level of the path
};

class Registry {
 public:
  virtual ~Registry() = default;

  // Opens the key at path ("software\\Name", no leading backslash) with full
  // access. Returns nullptr when it does not exist (ExistingOnly) or cannot
  // be opened or created.
  virtual std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, std::u16string_view path,
                                               KeyOpening opening) = 0;
};

}  // namespace monitor
