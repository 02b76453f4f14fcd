// VirtualMouse.exe: plays the mouse's vendor interface for system tests and
// demonstrations ("run"), and tells a running one to send input reports,
// drop its connections or quit (the other commands).
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <variant>
#include <vector>

#include "platform/Utf8.h"
#include "platform/win32/WideText.h"
#include "tools/virtual_mouse/ControlPipe.h"
#include "tools/virtual_mouse/DeviceServer.h"
#include "tools/virtual_mouse/MouseCommandLine.h"
#include "tools/virtual_mouse/MouseLog.h"

namespace monitor::virtual_mouse {
namespace {

constexpr int kSucceeded = 0;
constexpr int kFailed = 1;
constexpr int kWrongArguments = 2;

int Fail(const std::string& message, DWORD error) {
  std::fprintf(stderr, "VirtualMouse: %s (error %lu)\n", message.c_str(), static_cast<unsigned long>(error));
  return kFailed;
}

std::vector<std::u16string> Arguments() {
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::u16string> arguments;
  for (int i = 1; words != nullptr && i < count; ++i) {
    arguments.push_back(win32::FromWide(words[i]));
  }
  LocalFree(words);
  return arguments;
}

int Run(const RunCommand& run) {
  win32::UniqueHandle file;
  if (!run.logPath.empty()) {
    file = OpenLogFile(run.logPath);
    if (!file) {
      return Fail("cannot open the log " + ToUtf8(run.logPath), GetLastError());
    }
  }
  MouseLog log(std::move(file));
  // Taken first: a second mouse stops here, before it touches the device pipe.
  const win32::UniqueHandle control = CreateControlPipe();
  if (!control) {
    return Fail("cannot serve the control pipe; is another virtual mouse running?", GetLastError());
  }
  DeviceServer device(log, run.featureLength);
  if (!device.Start()) {
    return Fail("cannot serve the device pipe", GetLastError());
  }
  log.Write("virtual mouse running, feature report length " + std::to_string(run.featureLength));
  const bool served = ServeControlPipe(control.get(), device);
  const DWORD error = GetLastError();
  device.Stop();
  log.Write("virtual mouse stopped");
  return served ? kSucceeded : Fail("the control pipe failed", error);
}

int Send(MessageKind kind, std::span<const std::uint8_t> payload) {
  const auto result = SendControlCommand(kind, payload);
  if (!result) {
    return Fail("no virtual mouse answered; start one with \"VirtualMouse run\"", GetLastError());
  }
  if (*result != ERROR_SUCCESS) {
    return Fail("the virtual mouse refused the command", *result);
  }
  return kSucceeded;
}

int Execute(const MouseCommand& command) {
  if (const auto* run = std::get_if<RunCommand>(&command)) {
    return Run(*run);
  }
  if (const auto* input = std::get_if<PushInputCommand>(&command)) {
    return Send(MessageKind::PushInput, input->report);
  }
  if (std::holds_alternative<UnplugCommand>(command)) {
    return Send(MessageKind::Unplug, {});
  }
  return Send(MessageKind::Quit, {});
}

}  // namespace
}  // namespace monitor::virtual_mouse

int main() {
  using namespace monitor::virtual_mouse;
  const std::vector<std::u16string> arguments = Arguments();
  const ParsedCommandLine parsed = ParseCommandLine(arguments);
  if (!parsed.command) {
    std::fprintf(stderr, "VirtualMouse: %s\n%.*s", parsed.error.c_str(), static_cast<int>(kUsage.size()),
                 kUsage.data());
    return kWrongArguments;
  }
  return Execute(*parsed.command);
}
