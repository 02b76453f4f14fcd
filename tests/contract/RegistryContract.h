// Behaviour every Registry implementation must share: run against the
// in-memory fake natively and against the Windows registry under Wine, so
// that the fake the unit tests rely on cannot drift from the real thing.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/Registry.h"

namespace monitor::contract {

struct RegistryUnderTest {
  std::string name;
  std::function<std::unique_ptr<Registry>()> make;
  // A key path, unique to this run, below which each test makes its keys.
  std::u16string scratchKey;
};

class RegistryContract : public ::testing::TestWithParam<RegistryUnderTest> {
 protected:
  void SetUp() override { registry_ = GetParam().make(); }

  // A key path unique to the running test.
  std::u16string TestKey() const;

  std::unique_ptr<Registry> registry_;
};

inline std::string RegistryName(const ::testing::TestParamInfo<RegistryUnderTest>& info) {
  return info.param.name;
}

}  // namespace monitor::contract
