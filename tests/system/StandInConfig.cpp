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
//   StandInConfig.exe memory [CLASS]                prints the committed private
//                                                   memory and the working set,
//                                                   in KiB, of the monitor (or
//                                                   the owner of CLASS)
//   StandInConfig.exe language INDEX                stores the language index in
//                                                   the global settings record
//   StandInConfig.exe function BUTTON INDEX         stores a button's function
//                                                   in the stored profile 1
//   StandInConfig.exe listen LOG                    appends every debug-output
//                                                   line of any program to LOG,
//                                                   as a debug viewer does
//   StandInConfig.exe time-start EXE                starts the monitor EXE and
//                                                   prints the milliseconds until
//                                                   its tray icon is there
//   StandInConfig.exe tray-icon                     succeeds when the monitor's
//                                                   tray icon is there
//   StandInConfig.exe restart-taskbar               drops the monitor's tray icon
//                                                   and announces a new taskbar,
//                                                   as a restarted shell does
// The window also logs the mouse clicks and wheel turns it receives, as
// "click BUTTON down|up" and "wheel DELTA" lines.
#include <windows.h>
// After windows.h, which they need.
#include <psapi.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

constexpr wchar_t kClass[] = L"TZelCfgExMain3";
constexpr wchar_t kMonitorClass[] = L"TZelMonExMain3";
constexpr wchar_t kProfileKey[] = L"software\\QuorvaxGM3";

// Where the records keep what the commands change.
constexpr std::size_t kCurrentLanguageOffset = 30952;  // in ZV3PROFILE.pfd
constexpr std::size_t kButtonOffset = 872;             // button 0 in a profile
constexpr std::size_t kButtonSize = 3772;
constexpr std::size_t kFunctionIndexOffset = 3754;  // in a button

// The monitor's tray icon, as it adds it.
constexpr UINT kMonitorTrayId = 1;

FILE* logFile = nullptr;
UINT hangOn = 0;

void Log(const char* text) {
  std::fprintf(logFile, "%s\n", text);
  std::fflush(logFile);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      Log("click left down");
      return 0;
    case WM_LBUTTONUP:
      Log("click left up");
      return 0;
    case WM_RBUTTONDOWN:
      Log("click right down");
      return 0;
    case WM_RBUTTONUP:
      Log("click right up");
      return 0;
    case WM_MOUSEWHEEL: {
      const std::string text = "wheel " + std::to_string(GET_WHEEL_DELTA_WPARAM(wParam));
      Log(text.c_str());
      return 0;
    }
    default:
      break;
  }
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

// Changes one 16-bit or 8-bit field of a stored record, as the real
// program does when the user edits a setting.
int EditRecord(const wchar_t* valueName, std::size_t offset, unsigned value, std::size_t width) {
  // The monitor may rewrite the value in between, at another size: ask again.
  std::string bytes;
  DWORD size = 0;
  LSTATUS status = ERROR_MORE_DATA;
  while (status == ERROR_MORE_DATA) {
    RegGetValueW(HKEY_CURRENT_USER, kProfileKey, valueName, RRF_RT_REG_BINARY, nullptr, nullptr, &size);
    bytes.resize(size);
    status = RegGetValueW(HKEY_CURRENT_USER, kProfileKey, valueName, RRF_RT_REG_BINARY, nullptr, bytes.data(),
                          &size);
  }
  if (status != ERROR_SUCCESS || offset + width > size) {
    return 1;
  }
  for (std::size_t i = 0; i < width; ++i) {
    bytes[offset + i] = static_cast<char>(value >> (8 * i));
  }
  return RegSetKeyValueW(HKEY_CURRENT_USER, kProfileKey, valueName, REG_BINARY, bytes.data(), size) ==
                 ERROR_SUCCESS
             ? 0
             : 1;
}

// The debug viewers' protocol: a program's OutputDebugString waits for the
// buffer to be free, writes its process id and text into the shared buffer
// and signals that data is ready.
int Listen(const wchar_t* logPath) {
  FILE* log = _wfopen(logPath, L"a");
  HANDLE bufferReady = CreateEventW(nullptr, FALSE, TRUE, L"DBWIN_BUFFER_READY");
  HANDLE dataReady = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY");
  HANDLE mapping =
      CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, L"DBWIN_BUFFER");
  const auto* buffer = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 4096));
  if (log == nullptr || bufferReady == nullptr || dataReady == nullptr || buffer == nullptr) {
    return 2;
  }
  std::fprintf(log, "listening\n");
  std::fflush(log);
  for (;;) {
    SetEvent(bufferReady);
    if (WaitForSingleObject(dataReady, INFINITE) != WAIT_OBJECT_0) {
      return 2;
    }
    std::string text(buffer + sizeof(DWORD), strnlen(buffer + sizeof(DWORD), 4096 - sizeof(DWORD)));
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
      text.pop_back();
    }
    std::fprintf(log, "%s\n", text.c_str());
    std::fflush(log);
  }
}

// A modification that changes nothing succeeds only for an icon the tray
// has: the probe leaves the monitor's icon as it is.
bool MonitorTrayIconPresent() {
  NOTIFYICONDATAW probe{};
  probe.cbSize = sizeof probe;
  probe.hWnd = FindWindowW(kMonitorClass, nullptr);
  probe.uID = kMonitorTrayId;
  return probe.hWnd != nullptr && Shell_NotifyIconW(NIM_MODIFY, &probe);
}

// A restarted shell has lost every icon and tells all top-level windows.
int RestartTaskbar() {
  NOTIFYICONDATAW icon{};
  icon.cbSize = sizeof icon;
  icon.hWnd = FindWindowW(kMonitorClass, nullptr);
  icon.uID = kMonitorTrayId;
  if (icon.hWnd == nullptr || !Shell_NotifyIconW(NIM_DELETE, &icon) || MonitorTrayIconPresent()) {
    return 1;
  }
  return PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0) ? 0 : 1;
}

int TimeStart(const wchar_t* program) {
  LARGE_INTEGER frequency;
  LARGE_INTEGER start;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  std::wstring commandLine = L"\"" + std::wstring(program) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return 2;
  }
  CloseHandle(process.hThread);
  int result = 1;
  LARGE_INTEGER now = start;
  // Polled every 2 ms, for at most 30 s; a monitor that ends first fails.
  while (now.QuadPart - start.QuadPart < 30 * frequency.QuadPart &&
         WaitForSingleObject(process.hProcess, 2) == WAIT_TIMEOUT) {
    const bool present = MonitorTrayIconPresent();
    QueryPerformanceCounter(&now);
    if (present) {
      std::wprintf(L"%.1f\n", static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 /
                                  static_cast<double>(frequency.QuadPart));
      result = 0;
      break;
    }
  }
  CloseHandle(process.hProcess);
  return result;
}

// The private memory a program has committed (what Windows counts as its
// private bytes, summed region by region, since Wine leaves the counter at
// zero) and its working set, in KiB, of the program owning a window class.
int PrintMemory(const wchar_t* windowClass) {
  HWND window = FindWindowW(windowClass, nullptr);
  DWORD processId = 0;
  if (window == nullptr || GetWindowThreadProcessId(window, &processId) == 0) {
    return 1;
  }
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  if (process == nullptr) {
    return 1;
  }
  unsigned long long privateBytes = 0;
  MEMORY_BASIC_INFORMATION region{};
  for (const char* address = nullptr;
       VirtualQueryEx(process, address, &region, sizeof region) == sizeof region;
       address = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
      privateBytes += region.RegionSize;
    }
  }
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  const bool read = GetProcessMemoryInfo(process, &counters, sizeof counters);
  CloseHandle(process);
  if (!read) {
    return 1;
  }
  std::wprintf(L"%llu %llu\n", privateBytes / 1024,
               static_cast<unsigned long long>(counters.WorkingSetSize / 1024));
  return 0;
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
  // Shown at a known place, where the tests point real input at it.
  if (CreateWindowExW(0, kClass, L"Stand-in configuration program", WS_POPUP | WS_VISIBLE, 300, 300, 300, 200,
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
  if (command == L"memory") {
    return PrintMemory(argc > 2 ? argv[2] : kMonitorClass);
  }
  if (command == L"language" && argc > 2) {
    return EditRecord(L"ZV3PROFILE.pfd", kCurrentLanguageOffset,
                      static_cast<unsigned>(Number(argc, argv, 2, 0)), 1);
  }
  if (command == L"function" && argc > 3) {
    const auto button = static_cast<std::size_t>(Number(argc, argv, 2, 0));
    return EditRecord(L"ZV3Profile1.pfd", kButtonOffset + button * kButtonSize + kFunctionIndexOffset,
                      static_cast<unsigned>(Number(argc, argv, 3, 0)), 2);
  }
  if (command == L"listen" && argc > 2) {
    return Listen(argv[2]);
  }
  if (command == L"tray-icon") {
    return MonitorTrayIconPresent() ? 0 : 1;
  }
  if (command == L"restart-taskbar") {
    return RestartTaskbar();
  }
  if (command == L"time-start" && argc > 2) {
    return TimeStart(argv[2]);
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
      // A monitor that does not answer within the time fails the command.
      DWORD_PTR result = 0;
      return SendMessageTimeoutW(monitor, message, 0, static_cast<LPARAM>(Number(argc, argv, 3, 0)),
                                 SMTO_NORMAL, 10000, &result) != 0
                 ? 0
                 : 3;
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
