// A plain white window of the test, shown in front with the keyboard focus:
// something for real and injected input to land on, which keeps the input
// messages it receives.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/HiddenWindow.h"

namespace monitor::win32 {

struct ReceivedInput {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

class TestWindow {
 public:
  // Throws PlatformError when the window cannot be created.
  explicit TestWindow(RECT place, const std::wstring& title = L"Monitor test window");

  [[nodiscard]] HWND Handle() const { return window_.get(); }
  [[nodiscard]] POINT Centre() const;
  // Key, mouse button and wheel messages, in the order they came.
  [[nodiscard]] const std::vector<ReceivedInput>& Received() const { return received_; }
  [[nodiscard]] std::vector<UINT> ReceivedMessages() const;

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

  RECT place_;
  std::vector<ReceivedInput> received_;
  UniqueWindow window_;
};

}  // namespace monitor::win32
