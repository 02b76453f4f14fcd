// The virtual mouse program as the tests drive it: started from the path
// the build passes in MONITOR_VIRTUAL_MOUSE_EXE, told what to do through
// its command line, and stopped with "quit".
#pragma once

#include <string>

#include "platform/win32/UniqueHandle.h"

namespace monitor::win32 {

class VirtualMouseProcess {
 public:
  VirtualMouseProcess() = default;
  VirtualMouseProcess(const VirtualMouseProcess&) = delete;
  VirtualMouseProcess& operator=(const VirtualMouseProcess&) = delete;
  // Quits a mouse still running.
  ~VirtualMouseProcess();

  // Starts "run" with the options and waits until its interface is listed;
  // false (with a test failure) when it does not come up.
  bool Start(const std::wstring& options);
  // "quit", then waits for the process to end; its exit code.
  DWORD Quit();

  // One command-line run of the program (for example L"press 7"), to its
  // end; its exit code.
  static DWORD Command(const std::wstring& arguments);

 private:
  UniqueHandle process_;
};

}  // namespace monitor::win32
