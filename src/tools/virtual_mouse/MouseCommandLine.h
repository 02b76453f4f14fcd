// The virtual mouse's command line: "run" serves the device, the other
// commands tell a running mouse what to do. Report bytes are built here,
// so the running mouse only checks their length.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace monitor::virtual_mouse {

// The interface the mouse plays; lengths count the report ID byte.
inline constexpr std::uint16_t kInputReportLength = 8;
inline constexpr std::uint16_t kOutputReportLength = 8;
inline constexpr std::uint16_t kDefaultFeatureLength = 1024;
// Input report 7 carries a 24-bit key code with one bit per button.
inline constexpr int kButtonCount = 24;

struct RunCommand {
  std::u16string logPath;  // empty: standard output only
  std::uint16_t featureLength = kDefaultFeatureLength;

  friend bool operator==(const RunCommand&, const RunCommand&) = default;
};

// "press", "release", "profile" and "report": one input report to send.
struct PushInputCommand {
  std::vector<std::uint8_t> report;

  friend bool operator==(const PushInputCommand&, const PushInputCommand&) = default;
};

struct UnplugCommand {
  friend bool operator==(const UnplugCommand&, const UnplugCommand&) = default;
};

struct QuitCommand {
  friend bool operator==(const QuitCommand&, const QuitCommand&) = default;
};

using MouseCommand = std::variant<RunCommand, PushInputCommand, UnplugCommand, QuitCommand>;

struct ParsedCommandLine {
  std::optional<MouseCommand> command;
  std::string error;  // why there is no command
};

// The arguments after the program name.
ParsedCommandLine ParseCommandLine(std::span<const std::u16string> arguments);

inline constexpr std::string_view kUsage =
    "usage: VirtualMouse run [--log FILE] [--feature-length N]\n"
    "       VirtualMouse press K          button K (0 to 23) pressed: input report 7\n"
    "       VirtualMouse release          all buttons released: input report 7\n"
    "       VirtualMouse profile P        switched to profile P (0 or 1): input report 8\n"
    "       VirtualMouse report HEX...    any input report, report ID first\n"
    "       VirtualMouse unplug           drop every connection to the device\n"
    "       VirtualMouse quit             stop the running mouse\n";

}  // namespace monitor::virtual_mouse
