#include "win32/LinuxCommand.h"

#include <windows.h>

#include <sstream>

#include "platform/Utf8.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WideText.h"
#include "win32/MessagePump.h"
#include "win32/ScratchFolder.h"

namespace monitor::win32 {
namespace {

// Wine's own export for the path translation; Windows has none.
using UnixFileNameEntry = char*(__cdecl*)(const wchar_t* windowsPath);

// Empty when the file cannot be read.
std::string ReadWholeFile(const std::wstring& path) {
  const UniqueHandle file = OwnFileHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size)) {
    return {};
  }
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
    return {};
  }
  bytes.resize(read);
  return bytes;
}

}  // namespace

std::string LinuxPath(const std::wstring& windowsPath) {
  const auto entry = reinterpret_cast<UnixFileNameEntry>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (entry == nullptr) {
    return {};
  }
  char* const path = entry(windowsPath.c_str());
  if (path == nullptr) {
    return {};
  }
  std::string result = path;
  HeapFree(GetProcessHeap(), 0, path);
  return result;
}

// Wine starts a Unix program named by its absolute path through
// CreateProcessW, but the handle it gives back cannot be waited on. So the
// command writes its exit status to a file when it ends, renamed into place
// so that it is never read half-written.
std::optional<LinuxCommandResult> RunLinuxCommand(MainLoop& loop, const std::string& command) {
  if (command.find('"') != std::string::npos) {
    return std::nullopt;
  }
  static int runs = 0;
  const std::wstring base = ToWide(ScratchFolder()) + L"\\linux-command-" + std::to_wstring(++runs);
  const std::wstring statusFile = base + L".status";
  const std::wstring outputFile = base + L".out";
  const std::string status = LinuxPath(statusFile);
  const std::string output = LinuxPath(outputFile);
  if (status.empty() || output.empty()) {
    return std::nullopt;
  }
  const std::string script = command + ") > '" + output + "' 2>&1; echo $? > '" + status + ".part'; mv '" +
                             status + ".part' '" + status + "'";
  const std::optional<std::u16string> scriptText = FromUtf8(script);
  if (!scriptText) {
    return std::nullopt;
  }
  std::wstring commandLine = L"/bin/sh -c \"(" + ToWide(*scriptText) + L"\"";

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started)) {
    return std::nullopt;
  }
  // Whatever Wine handed back is of no further use.
  if (started.hThread != nullptr) {
    CloseHandle(started.hThread);
  }
  if (started.hProcess != nullptr) {
    CloseHandle(started.hProcess);
  }
  const bool ended =
      PumpUntil(loop, [&] { return GetFileAttributesW(statusFile.c_str()) != INVALID_FILE_ATTRIBUTES; });
  if (!ended) {
    return std::nullopt;
  }
  LinuxCommandResult result{0, ReadWholeFile(outputFile)};
  std::istringstream(ReadWholeFile(statusFile)) >> result.exitCode;
  DeleteFileW(statusFile.c_str());
  DeleteFileW(outputFile.c_str());
  return result;
}

::testing::AssertionResult Xdotool(MainLoop& loop, const std::string& arguments) {
  const std::optional<LinuxCommandResult> run = RunLinuxCommand(loop, "xdotool " + arguments);
  if (!run) {
    return ::testing::AssertionFailure() << "xdotool " << arguments << " did not run";
  }
  if (run->exitCode != 0) {
    return ::testing::AssertionFailure() << "xdotool " << arguments << " failed: " << run->output;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace monitor::win32
