#include "tools/virtual_mouse/MouseCommandLine.h"

#include "platform/Utf8.h"

namespace monitor::virtual_mouse {
namespace {

constexpr std::uint8_t kButtonReportId = 7;
constexpr std::uint8_t kProfileReportId = 8;
constexpr std::size_t kLargestReport = 65535;

// A decimal number from `low` to `high`.
std::optional<int> Number(std::u16string_view text, int low, int high) {
  if (text.empty() || text.size() > 5) {
    return std::nullopt;
  }
  int value = 0;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') {
      return std::nullopt;
    }
    value = value * 10 + (c - u'0');
  }
  if (value < low || value > high) {
    return std::nullopt;
  }
  return value;
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') {
    return c - u'0';
  }
  if (c >= u'a' && c <= u'f') {
    return c - u'a' + 10;
  }
  if (c >= u'A' && c <= u'F') {
    return c - u'A' + 10;
  }
  return -1;
}

// Bytes as pairs of hexadecimal digits, spread over any number of arguments.
std::optional<std::vector<std::uint8_t>> HexBytes(std::span<const std::u16string> arguments) {
  std::u16string digits;
  for (const std::u16string& argument : arguments) {
    digits += argument;
  }
  if (digits.empty() || digits.size() % 2 != 0 || digits.size() / 2 > kLargestReport) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    const int high = HexDigit(digits[i]);
    const int low = HexDigit(digits[i + 1]);
    if (high < 0 || low < 0) {
      return std::nullopt;
    }
    bytes.push_back(static_cast<std::uint8_t>(high << 4 | low));
  }
  return bytes;
}

ParsedCommandLine Error(std::string why) { return {std::nullopt, std::move(why)}; }

ParsedCommandLine Run(std::span<const std::u16string> options) {
  RunCommand run;
  for (std::size_t i = 0; i < options.size(); i += 2) {
    if (i + 1 >= options.size()) {
      return Error(ToUtf8(options[i]) + " needs a value");
    }
    if (options[i] == u"--log") {
      run.logPath = options[i + 1];
    } else if (options[i] == u"--feature-length") {
      const auto length = Number(options[i + 1], 1, 65535);
      if (!length) {
        return Error("the feature length is a number from 1 to 65535");
      }
      run.featureLength = static_cast<std::uint16_t>(*length);
    } else {
      return Error("unknown option " + ToUtf8(options[i]));
    }
  }
  return {run, {}};
}

ParsedCommandLine InputReport(std::vector<std::uint8_t> report) {
  return {PushInputCommand{std::move(report)}, {}};
}

}  // namespace

ParsedCommandLine ParseCommandLine(std::span<const std::u16string> arguments) {
  if (arguments.empty()) {
    return Error("no command");
  }
  const std::u16string& command = arguments[0];
  const auto rest = arguments.subspan(1);
  if (command == u"run") {
    return Run(rest);
  }
  if (command == u"press" && rest.size() == 1) {
    const auto key = Number(rest[0], 0, kButtonCount - 1);
    if (!key) {
      return Error("the button is a number from 0 to 23");
    }
    const std::uint32_t code = 1u << *key;
    return InputReport({kButtonReportId, static_cast<std::uint8_t>(code),
                        static_cast<std::uint8_t>(code >> 8), static_cast<std::uint8_t>(code >> 16), 0, 0, 0,
                        0});
  }
  if (command == u"release" && rest.empty()) {
    return InputReport({kButtonReportId, 0, 0, 0, 0, 0, 0, 0});
  }
  if (command == u"profile" && rest.size() == 1) {
    const auto profile = Number(rest[0], 0, 1);
    if (!profile) {
      return Error("the profile is 0 or 1");
    }
    return InputReport({kProfileReportId, 1, static_cast<std::uint8_t>(*profile), 0, 0, 0, 0, 0});
  }
  if (command == u"report" && !rest.empty()) {
    auto report = HexBytes(rest);
    if (!report) {
      return Error("a report is 1 to 65535 bytes as pairs of hexadecimal digits");
    }
    return InputReport(std::move(*report));
  }
  if (command == u"unplug" && rest.empty()) {
    return {UnplugCommand{}, {}};
  }
  if (command == u"quit" && rest.empty()) {
    return {QuitCommand{}, {}};
  }
  return Error("unknown command or wrong number of arguments: " + ToUtf8(command));
}

}  // namespace monitor::virtual_mouse
