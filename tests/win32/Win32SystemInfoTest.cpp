#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/WideText.h"
#include "platform/win32/Win32SystemInfo.h"
#include "win32/ScratchFolder.h"
#include "win32/TestExecutable.h"

namespace monitor::win32 {

// The exit code tells the parent the version the adapter read: the major
// version on the NT family, else 0.
int ReportVersionAsChild() {
  const WindowsVersion version = Win32SystemInfo().Version();
  return version.ntFamily ? static_cast<int>(version.major) : 0;
}

namespace {

// Guards against a child that never finishes; not a speed requirement.
constexpr DWORD kChildWaitMs = 30000;

// The kernel's own answer, looked up by name so that the test does not
// share the adapter's way of reaching it.
OSVERSIONINFOW KernelVersion() {
  using Query = LONG(WINAPI*)(OSVERSIONINFOW*);
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  const auto query = reinterpret_cast<Query>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  if (query == nullptr) {
    ADD_FAILURE() << "ntdll has no RtlGetVersion";
    return version;
  }
  query(&version);
  return version;
}

TEST(Win32SystemInfo, ReportsTheKernelsVersion) {
  const WindowsVersion version = Win32SystemInfo().Version();
  const OSVERSIONINFOW kernel = KernelVersion();

  EXPECT_TRUE(version.ntFamily);
  EXPECT_GE(version.major, 6u);
  EXPECT_EQ(version.major, kernel.dwMajorVersion);
}

// A program whose manifest does not declare Windows 8.1 or later support is
// told 6.2 by GetVersionExW on newer systems. Wine plays Windows 10 for a
// program named in its per-program settings, so a copy of the tests under
// its own name runs as one.
TEST(Win32SystemInfo, IgnoresTheCompatibilityVersionOfNewerSystems) {
  const std::wstring probe = ToWide(ScratchFolder()) + L"\\version-probe.exe";
  ASSERT_TRUE(CopyFileW(TestExecutablePath().c_str(), probe.c_str(), FALSE));
  const wchar_t* settings = L"Software\\Wine\\AppDefaults\\version-probe.exe";
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, settings, L"Version", REG_SZ, L"win10", sizeof L"win10"),
            ERROR_SUCCESS);

  const UniqueHandle child = StartInRole(probe, kReportVersionRole);
  ASSERT_TRUE(child);
  EXPECT_EQ(ExitCodeWithin(child.get(), kChildWaitMs), 10u);
  RegDeleteTreeW(HKEY_CURRENT_USER, settings);
}

}  // namespace
}  // namespace monitor::win32
