#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include <string>

#include "platform/Utf8.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32KnownFolders.h"
#include "win32/TestExecutable.h"

namespace monitor::win32 {
namespace {

// Points the user's documents folder elsewhere while it lives, as a user who
// moved the folder would. The throw-away prefix makes this safe to do.
class DocumentsRedirect {
 public:
  explicit DocumentsRedirect(const std::wstring& folder) {
    wchar_t original[MAX_PATH] = {};
    DWORD size = sizeof original;
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, kUserShellFolders, L"Personal",
                           RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, original, &size),
              ERROR_SUCCESS);
    original_ = original;
    Set(folder);
  }
  DocumentsRedirect(const DocumentsRedirect&) = delete;
  DocumentsRedirect& operator=(const DocumentsRedirect&) = delete;
  ~DocumentsRedirect() { Set(original_); }

 private:
  static constexpr const wchar_t* kUserShellFolders =
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

  static void Set(const std::wstring& folder) {
    EXPECT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kUserShellFolders, L"Personal", REG_EXPAND_SZ,
                              folder.c_str(), static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }

  std::wstring original_;
};

bool IsFolder(const std::u16string& path) {
  const DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The user's own documents folder (not the public one), as the newer shell
// API names it.
TEST(Win32KnownFolders, DocumentsFolderIsTheUsersExistingDocumentsFolder) {
  const std::u16string folder = Win32KnownFolders().DocumentsFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), u'\\');
  EXPECT_TRUE(IsFolder(folder));

  PWSTR known = nullptr;
  ASSERT_EQ(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &known), S_OK);
  const std::wstring expected = known;
  CoTaskMemFree(known);
  EXPECT_EQ(ToWide(folder), expected);
}

// A documents folder at a drive root loses its backslash too; one the
// system cannot find is not named, although the shell still fills in its
// path.
TEST(Win32KnownFolders, DocumentsFolderAtARootOrMissing) {
  struct Case {
    std::wstring redirectedTo;
    std::u16string expected;
  };
  const Case cases[] = {
      {L"C:\\", u"C:"},
      {L"C:\\MonitorAdapterTests\\NoSuchFolder", u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(FromWide(c.redirectedTo)));
    const DocumentsRedirect redirect(c.redirectedTo);
    EXPECT_EQ(Win32KnownFolders().DocumentsFolder(), c.expected);
  }
}

// ctest also runs this from a copy of the tests whose path is longer than
// MAX_PATH.
TEST(Win32KnownFolders, ExecutableFolderHoldsTheRunningExecutable) {
  const std::u16string folder = Win32KnownFolders().ExecutableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), u'\\');

  const std::wstring image = TestExecutablePath();
  ASSERT_FALSE(image.empty());
  EXPECT_EQ(ToWide(folder), image.substr(0, image.rfind(L'\\') + 1));
  EXPECT_TRUE(IsFolder(folder));
}

}  // namespace
}  // namespace monitor::win32
