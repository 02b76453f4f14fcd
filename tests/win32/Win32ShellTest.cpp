#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/Utf8.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Shell.h"
#include "win32/ScratchFolder.h"
#include "win32/TestExecutable.h"

namespace monitor::win32 {

constexpr const wchar_t* kLaunchMarker = L"launched.marker";
constexpr std::u16string_view kErrorText = u"SetControlDetails Error";
constexpr std::u16string_view kErrorCaption = u"Gaming Mouse Monitor \u2013 \u6d4b\u8bd5";

// The marker is named relative to the current folder, so it lands in the
// working folder the launch gave.
int WriteLaunchMarkerAsChild() {
  return OwnFileHandle(CreateFileW(kLaunchMarker, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)) ? 0 : 1;
}

int ShowErrorAsChild() {
  Win32Shell().ShowError(kErrorText, kErrorCaption);
  return 0;
}

namespace {

// Guards against a child that never finishes or never shows its box; not a
// speed requirement.
constexpr DWORD kChildWaitMs = 30000;

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Sets the role a launched child inherits, for as long as it lives.
class InheritedRole {
 public:
  explicit InheritedRole(std::string_view role) {
    SetEnvironmentVariableW(kRoleVariable, std::wstring(role.begin(), role.end()).c_str());
  }
  InheritedRole(const InheritedRole&) = delete;
  InheritedRole& operator=(const InheritedRole&) = delete;
  ~InheritedRole() { SetEnvironmentVariableW(kRoleVariable, nullptr); }
};

// The program is given by its full path, and the working folder as the
// monitor names its own folder, with the trailing separator.
TEST(Win32Shell, LaunchStartsTheProgramInTheWorkingFolder) {
  const std::u16string folder = ScratchFolder() + u"\\Launch folder";
  ASSERT_TRUE(CreateDirectoryW(ToWide(folder).c_str(), nullptr));
  const std::wstring marker = ToWide(folder) + L"\\" + kLaunchMarker;

  {
    const InheritedRole role(kWriteLaunchMarkerRole);
    ASSERT_TRUE(Win32Shell().Launch(FromWide(TestExecutablePath()), folder + u"\\"));
  }
  // The shell hands back no process to wait on.
  for (DWORD waited = 0; !Exists(marker) && waited < kChildWaitMs; waited += 50) {
    Sleep(50);
  }
  EXPECT_TRUE(Exists(marker));
}

TEST(Win32Shell, LaunchOfAMissingProgramFails) {
  const std::u16string folder = ScratchFolder() + u"\\";
  EXPECT_FALSE(Win32Shell().Launch(folder + u"ZelCfgEx3.exe", folder));
}

// The dialog window a process shows, and its texts.
struct ShownBox {
  HWND window = nullptr;
  std::wstring caption;
  std::wstring texts;  // of its child controls, each followed by a newline
};

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

struct DialogSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<DialogSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (owner == search.processId && std::wstring_view(className) == L"#32770" && IsWindowVisible(window)) {
    search.found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK AddControlText(HWND control, LPARAM context) {
  *reinterpret_cast<std::wstring*>(context) += WindowText(control) + L"\n";
  return TRUE;
}

ShownBox FindDialogOf(DWORD processId) {
  DialogSearch search{processId, nullptr};
  EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
  ShownBox box;
  if (search.found == nullptr) {
    return box;
  }
  box.window = search.found;
  box.caption = WindowText(search.found);
  EnumChildWindows(search.found, AddControlText, reinterpret_cast<LPARAM>(&box.texts));
  return box;
}

// A child shows the box; the test reads it and presses its OK button, as a
// user would, and the call returns.
TEST(Win32Shell, ShowErrorShowsAModalBoxUntilItIsDismissed) {
  const UniqueHandle child = StartInRole(TestExecutablePath(), kShowErrorRole);
  ASSERT_TRUE(child);
  const DWORD childId = GetProcessId(child.get());

  ShownBox box;
  for (DWORD waited = 0; box.window == nullptr && waited < kChildWaitMs; waited += 50) {
    Sleep(50);
    box = FindDialogOf(childId);
  }
  ASSERT_NE(box.window, nullptr) << "no box appeared";
  EXPECT_EQ(box.caption, ToWide(kErrorCaption));
  EXPECT_NE(box.texts.find(ToWide(kErrorText) + L"\n"), std::wstring::npos) << ToUtf8(FromWide(box.texts));
  EXPECT_NE(GetDlgItem(box.window, IDOK), nullptr);

  PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_EQ(ExitCodeWithin(child.get(), kChildWaitMs), 0u);
}

}  // namespace
}  // namespace monitor::win32
