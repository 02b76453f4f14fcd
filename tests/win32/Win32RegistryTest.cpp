#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "contract/RegistryContract.h"
#include "platform/win32/Win32Registry.h"

namespace monitor::win32 {
namespace {

// Each run writes below its own key, so a reused prefix never shows old values.
std::u16string RunKey() {
  const std::string id = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount64());
  return u"software\\MonitorAdapterTests\\" + std::u16string(id.begin(), id.end());
}

const std::u16string kRunKey = RunKey();

using contract::RegistryContract;

INSTANTIATE_TEST_SUITE_P(Windows, RegistryContract,
                         ::testing::Values(contract::RegistryUnderTest{
                             "Win32", [] { return std::make_unique<Win32Registry>(); }, kRunKey}),
                         contract::RegistryName);

// The adapter must reach the real registry, not a private copy: what it
// writes is seen by the plain API and the other way round.
TEST(Win32Registry, SharesItsValuesWithThePlainRegistryApi) {
  const std::u16string path = kRunKey + u"\\Shared";
  Win32Registry registry;
  const auto key = registry.OpenKey(RegistryRoot::CurrentUser, path, KeyOpening::CreateIfMissing);
  ASSERT_NE(key, nullptr);
  key->SetValue(u"ZV3PROFILE.pfd", {RegistryValueType::Binary, {1, 2, 3, 4, 5}});

  const std::wstring widePath(path.begin(), path.end());
  BYTE data[16] = {};
  DWORD size = sizeof data;
  DWORD type = 0;
  ASSERT_EQ(
      RegGetValueW(HKEY_CURRENT_USER, widePath.c_str(), L"ZV3PROFILE.pfd", RRF_RT_ANY, &type, data, &size),
      ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(data[4], 5);

  const DWORD profileId = 22;
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, widePath.c_str(), L"ProfileID", REG_DWORD, &profileId,
                            sizeof profileId),
            ERROR_SUCCESS);
  const auto read = key->QueryValue(u"ProfileID");
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(DwordOf(*read), 22u);
}

}  // namespace
}  // namespace monitor::win32
