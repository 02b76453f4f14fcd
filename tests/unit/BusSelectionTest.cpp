#include <gtest/gtest.h>

#include <string>

#include "device/BusSelection.h"

namespace monitor {
namespace {

TEST(BusSelection, OnlyEnabledOneSelectsTheVirtualMouse) {
  struct Case {
    const char* config;
    bool virtualMouse;
  };
  const Case cases[] = {
      {"", false},
      {"[OtherConfig]\nEnabled=1\n", false},
      {"[VirtualMouse]\n", false},
      {"[VirtualMouse]\nActive=1\n", false},
      {"[VirtualMouse]\nEnabled=\n", false},
      {"[VirtualMouse]\nEnabled=0\n", false},
      {"[VirtualMouse]\nEnabled=yes\n", false},
      {"[VirtualMouse]\nEnabled=true\n", false},
      {"[VirtualMouse]\nEnabled=01\n", false},
      {"[VirtualMouse]\nEnabled=2\n", false},
      {"[VirtualMouse]\nEnabled=1\n", true},
      {"[virtualmouse]\r\nenabled = 1\r\n", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.config);
    const std::string text = c.config;
    const IniFile config =
        IniFile::Parse(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    EXPECT_EQ(UsesVirtualMouse(config), c.virtualMouse);
  }
}

}  // namespace
}  // namespace monitor
