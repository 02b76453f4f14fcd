// A stand-in for the suite's configuration program, for the system tests
// only: a window of its class that logs every message of the monitor, and
// commands that talk to the monitor as the real program would.
//
//   StandInConfig.exe run LOG [--hang-on MESSAGE]   the window; appends
//       "message wParam lParam" per line to LOG; with --hang-on it stops
//       answering (sleeps 30 s) when that message arrives
//   StandInConfig.exe send MESSAGE [LPARAM]         sends to the monitor
//   StandInConfig.exe post MESSAGE [WPARAM [LPARAM]]
//   StandInConfig.exe quit                          closes the running window
//   StandInConfig.exe find CLASS                    prints "caption|visible|toolwindow"
//                                                   of that top-level window
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

constexpr wchar_t kClass[] = L"TZelCfgExMain3";
constexpr wchar_t kMonitorClass[] = L"TZelMonExMain3";

FILE* logFile = nullptr;
UINT hangOn = 0;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_USER && message < 0xC000) {
    std::fprintf(logFile, "%u %llu %lld\n", message, static_cast<unsigned long long>(wParam),
                 static_cast<long long>(lParam));
    std::fflush(logFile);
    if (message == hangOn) {
      Sleep(30000);
    }
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

long long Number(int argc, wchar_t** argv, int index, long long fallback) {
  return index < argc ? std::wcstoll(argv[index], nullptr, 10) : fallback;
}

int Run(const wchar_t* logPath) {
  logFile = _wfopen(logPath, L"a");
  if (logFile == nullptr) {
    return 2;
  }
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &WindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClass;
  RegisterClassExW(&windowClass);
  if (CreateWindowExW(0, kClass, L"Stand-in configuration program", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                      nullptr, nullptr, windowClass.hInstance, nullptr) == nullptr) {
    return 2;
  }
  std::fprintf(logFile, "ready\n");
  std::fflush(logFile);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  std::fclose(logFile);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"run" && argc > 2) {
    if (argc > 4 && std::wstring(argv[3]) == L"--hang-on") {
      hangOn = static_cast<UINT>(Number(argc, argv, 4, 0));
    }
    return Run(argv[2]);
  }
  if (command == L"find" && argc > 2) {
    HWND window = FindWindowW(argv[2], nullptr);
    if (window == nullptr) {
      return 1;
    }
    wchar_t caption[256] = {};
    GetWindowTextW(window, caption, 256);
    const bool tool = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
    std::wprintf(L"%ls|%d|%d\n", caption, IsWindowVisible(window) ? 1 : 0, tool ? 1 : 0);
    return 0;
  }
  if (command == L"quit") {
    HWND window = FindWindowW(kClass, nullptr);
    return window != nullptr && PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
  }
  if ((command == L"send" || command == L"post") && argc > 2) {
    HWND monitor = FindWindowW(kMonitorClass, nullptr);
    if (monitor == nullptr) {
      std::fwprintf(stderr, L"the monitor is not running\n");
      return 1;
    }
    const auto message = static_cast<UINT>(Number(argc, argv, 2, 0));
    if (command == L"send") {
      SendMessageW(monitor, message, 0, static_cast<LPARAM>(Number(argc, argv, 3, 0)));
      return 0;
    }
    return PostMessageW(monitor, message, static_cast<WPARAM>(Number(argc, argv, 3, 0)),
                        static_cast<LPARAM>(Number(argc, argv, 4, 0)))
               ? 0
               : 1;
  }
  std::fwprintf(stderr,
                L"usage: StandInConfig run LOG [--hang-on MESSAGE] | send MESSAGE [LPARAM] | "
                L"post MESSAGE [WPARAM [LPARAM]] | quit\n");
  return 2;
}
