// Reads and writes on handles that may be open for overlapped I/O, waiting
// for completion. A read also ends when its stop is requested: the pending
// I/O is cancelled and has completed before the read returns, so the buffer
// and the OVERLAPPED record never outlive it. Shared by the HID device and
// the virtual mouse's pipes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <stop_token>

#include "platform/HidBus.h"
#include "platform/win32/UniqueHandle.h"

namespace monitor::win32 {

class OverlappedReader {
 public:
  // The file is not owned and must outlive the reader.
  explicit OverlappedReader(HANDLE file);

  // One ReadFile into the buffer. Report with the bytes read (never more
  // than the buffer holds); Stopped when the stop cancelled it; Disconnected
  // when the device or the other end of the pipe went away, or the read was
  // aborted from elsewhere; Failed for any other error. One read at a time.
  HidReadResult Read(std::span<std::uint8_t> buffer, std::stop_token stop = {});

 private:
  HANDLE file_;
  UniqueHandle completed_;  // manual-reset event of the pending read
};

// One WriteFile of all the bytes; ERROR_SUCCESS or the system error code.
DWORD WriteAndWait(HANDLE file, std::span<const std::uint8_t> bytes);

}  // namespace monitor::win32
