#include <gtest/gtest.h>

#include "contract/RegistryContract.h"
#include "fakes/FakeRegistry.h"

namespace monitor {
namespace {

using contract::RegistryContract;

INSTANTIATE_TEST_SUITE_P(Fake, RegistryContract,
                         ::testing::Values(contract::RegistryUnderTest{
                             "InMemory", [] { return std::make_unique<fakes::FakeRegistry>(); },
                             u"software\\MonitorContractTests"}),
                         contract::RegistryName);

TEST(DwordValues, AreFourLittleEndianBytesAndNothingElseReadsAsOne) {
  EXPECT_EQ(DwordValue(0x11223344u).data, (std::vector<std::uint8_t>{0x44, 0x33, 0x22, 0x11}));
  EXPECT_EQ(DwordOf(DwordValue(0xFFFFFFFFu)), 0xFFFFFFFFu);
  EXPECT_FALSE(DwordOf({RegistryValueType::Binary, {1, 0, 0, 0}}).has_value());
  EXPECT_FALSE(DwordOf({RegistryValueType::Dword, {1, 0}}).has_value());
}

}  // namespace
}  // namespace monitor
