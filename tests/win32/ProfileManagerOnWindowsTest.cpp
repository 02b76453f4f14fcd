// The profile manager on the real registry and file system: a first start
// writes its setting records as binary values under the current user's key
// and makes the profile folders in the documents folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "platform/win32/WideText.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32DebugOutput.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32KnownFolders.h"
#include "platform/win32/Win32Locale.h"
#include "platform/win32/Win32Registry.h"
#include "profiles/ProfileManager.h"

namespace monitor::win32 {
namespace {

class ProfileManagerOnWindows : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"software\\QuorvaxGM3"); }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"software\\QuorvaxGM3"); }

  std::unique_ptr<TDM> Start() {
    return std::make_unique<TDM>(
        ProfileServices{registry_, files_, folders_, locale_, clock_, debug_,
                        [](std::u16string_view text) { return std::u16string(text); }});
  }

  Win32Registry registry_;
  Win32FileSystem files_;
  Win32KnownFolders folders_;
  Win32Locale locale_;
  Win32Clock clock_;
  Win32DebugOutput debug_;
};

DWORD StoredSize(const wchar_t* name, DWORD* type) {
  DWORD size = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, L"software\\QuorvaxGM3", name, RRF_RT_ANY, type, nullptr, &size) !=
      ERROR_SUCCESS) {
    return 0;
  }
  return size;
}

TEST_F(ProfileManagerOnWindows, FirstStartStoresTheSettingRecordsAndMakesTheFolders) {
  const auto dm = Start();

  DWORD type = 0;
  EXPECT_EQ(StoredSize(L"ZV3ProfileSettingGroup.pfd", &type), sizeof(TProfileSettingGroup));
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(StoredSize(L"ZV3PROFILE.pfd", &type), sizeof(TALLGAMESINFO));
  EXPECT_EQ(StoredSize(L"ZV3Profile1.pfd", &type), 0u);  // factory profiles stay in memory

  const std::wstring folder = ToWide(folders_.DocumentsFolder()) + L"\\QUORVAX Gaming Mouse 3";
  EXPECT_NE(GetFileAttributesW(folder.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesW((folder + L"\\ZV3Profile5_Macros").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(dm->FCurrentProfileInfo.ConfigInfo.ButtonCount, 7);

  // A second start loads what the first stored, and a saved profile survives.
  dm->FCurrentProfileInfo.ConfigInfo.ButtonCount = 9;
  ASSERT_TRUE(dm->SaveCurrentProfileInfoToRegistry());
  EXPECT_EQ(Start()->FCurrentProfileInfo.ConfigInfo.ButtonCount, 9);
}

}  // namespace
}  // namespace monitor::win32
