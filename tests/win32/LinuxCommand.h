// Programs of the Linux side, run from a Windows test under Wine: xdotool
// makes real X input (Wine's windows and low-level hooks see it as the
// hardware's), ImageMagick takes screenshots of the X display.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/MainLoop.h"

namespace monitor::win32 {

struct LinuxCommandResult {
  int exitCode;
  std::string output;  // what it wrote to its standard output and error
};

// Runs the command with /bin/sh and handles the thread's messages until it
// ended: the X input it makes reaches this thread's windows and hooks only
// while the thread handles messages. Nothing when it could not be started
// or did not end within the pump's limit. The command must not contain a
// double quote.
std::optional<LinuxCommandResult> RunLinuxCommand(MainLoop& loop, const std::string& command);

// Runs xdotool with the arguments, as RunLinuxCommand does; a failure tells
// what xdotool said.
::testing::AssertionResult Xdotool(MainLoop& loop, const std::string& arguments);

// The Linux path of a Windows path; empty when Wine cannot tell.
std::string LinuxPath(const std::wstring& windowsPath);

}  // namespace monitor::win32
