#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32DebugOutput.h"
#include "win32/TestExecutable.h"

namespace monitor::win32 {

// The first of two lines in one buffer: the view the adapter gets is not
// followed by a null, so the adapter must end the text itself. The en dash
// differs between the ANSI code page and a cut to 8 bits.
constexpr std::u16string_view kTwoLines = u"Profile \"B\u00fcro \u2013 Spiel\" loaded\nnot part of the line";
constexpr std::u16string_view kLine = kTwoLines.substr(0, kTwoLines.find(u'\n'));

int WriteDebugLineAsChild() {
  Win32DebugOutput output;
  output.Write(kLine);
  return 0;
}

namespace {

// Guards against a child that never finishes; not a speed requirement.
constexpr DWORD kDebugEventWaitMs = 30000;

// One OUTPUT_DEBUG_STRING_EVENT in the form the system delivered it.
struct DebugString {
  bool unicode = false;
  std::wstring wide;
  std::string ansi;
};

struct DebuggedRun {
  std::vector<DebugString> strings;
  DWORD exitCode = STILL_ACTIVE;
};

// The text a debug event points at in the child; its length counts the
// terminating null.
template <class Text>
Text ReadText(HANDLE process, const void* address, DWORD length) {
  Text text(length, typename Text::value_type{});
  SIZE_T read = 0;
  ReadProcessMemory(process, address, text.data(), text.size() * sizeof(text[0]), &read);
  text.resize(read / sizeof(text[0]));
  if (!text.empty() && text.back() == typename Text::value_type{}) {
    text.pop_back();
  }
  return text;
}

DebugString ReadDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
  DebugString text;
  text.unicode = info.fUnicode != 0;
  if (text.unicode) {
    text.wide = ReadText<std::wstring>(process, info.lpDebugStringData, info.nDebugStringLength);
  } else {
    text.ansi = ReadText<std::string>(process, info.lpDebugStringData, info.nDebugStringLength);
  }
  return text;
}

// Starts the command line as a debugged child and collects what it sends
// to its debugger until it exits.
DebuggedRun RunUnderDebugger(std::wstring commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  DebuggedRun run;
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr,
                      nullptr, &startup, &started)) {
    ADD_FAILURE() << "cannot start the child, error " << GetLastError();
    return run;
  }
  const UniqueHandle process(started.hProcess);
  const UniqueHandle thread(started.hThread);
  for (;;) {
    DEBUG_EVENT event{};
    if (!WaitForDebugEvent(&event, kDebugEventWaitMs)) {
      ADD_FAILURE() << "the child stopped sending debug events, error " << GetLastError();
      TerminateProcess(process.get(), 1);
      return run;
    }
    DWORD continueStatus = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      // The debugger owns the image file handles it is given.
      case CREATE_PROCESS_DEBUG_EVENT:
        CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        CloseHandle(event.u.LoadDll.hFile);
        break;
      case OUTPUT_DEBUG_STRING_EVENT:
        run.strings.push_back(ReadDebugString(process.get(), event.u.DebugString));
        break;
      case EXCEPTION_DEBUG_EVENT:
        // The loader's initial breakpoint is expected; anything else is the child's to handle.
        if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
          continueStatus = DBG_EXCEPTION_NOT_HANDLED;
        }
        break;
      case EXIT_PROCESS_DEBUG_EVENT:
        run.exitCode = event.u.ExitProcess.dwExitCode;
        break;
      default:
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, continueStatus);
    if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) {
      return run;
    }
  }
}

std::string ToAnsi(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string ansi(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), ansi.data(), size, nullptr,
                      nullptr);
  return ansi;
}

// A debugger attached to a child that writes one line through the adapter
// receives exactly that line, once, in Unicode or in the ANSI code page.
TEST(Win32DebugOutput, TheLineReachesADebugger) {
  const std::wstring self = TestExecutablePath();
  ASSERT_FALSE(self.empty());
  const std::string_view role = kWriteDebugLineRole;
  const DebuggedRun run = RunUnderDebugger(L"\"" + self + L"\" " + std::wstring(role.begin(), role.end()));

  EXPECT_EQ(run.exitCode, 0u);
  ASSERT_EQ(run.strings.size(), 1u);
  const DebugString& received = run.strings.front();
  const std::wstring expected = ToWide(kLine);
  if (received.unicode) {
    EXPECT_EQ(received.wide, expected);
  } else {
    EXPECT_EQ(received.ansi, ToAnsi(expected));
  }
}

}  // namespace
}  // namespace monitor::win32
