#include "tools/virtual_mouse/FeatureReportText.h"

#include <algorithm>
#include <cstdio>

namespace monitor::virtual_mouse {
namespace {

// Report bytes: ID, command, then the command's parameters.
constexpr std::uint8_t kWriteMemory = 0x02;
constexpr std::uint8_t kTransaction = 0x06;
constexpr std::size_t kWriteHeaderSize = 8;  // ID, command, address (2), length (2), two filler bytes

std::string Hex16(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof(text), "0x%04X", value & 0xFFFFu);
  return text;
}

std::string Command(std::span<const std::uint8_t> report) {
  if (report.size() >= kWriteHeaderSize && report[1] == kWriteMemory) {
    const auto address = static_cast<unsigned>(report[2] | report[3] << 8);
    const auto length = static_cast<std::size_t>(report[4] | report[5] << 8);
    const auto payload = report.subspan(kWriteHeaderSize);
    std::string text = "write memory at " + Hex16(address) + ", " + std::to_string(length) + " bytes";
    if (payload.size() < length) {
      text += " (" + std::to_string(payload.size()) + " in the report)";
    }
    return text + ": " + HexBytes(payload.first(std::min(length, payload.size())));
  }
  if (report.size() >= 3 && report[1] == kTransaction && report[2] <= 1) {
    return report[2] == 0 ? "transaction begin" : "transaction end";
  }
  return HexBytes(report);
}

}  // namespace

std::string HexBytes(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (const std::uint8_t byte : bytes) {
    if (!text.empty()) {
      text += ' ';
    }
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

std::string DescribeFeatureReport(std::span<const std::uint8_t> report) {
  if (report.empty()) {
    return "feature report without bytes";
  }
  return "feature report " + std::to_string(report[0]) + ", " + std::to_string(report.size()) +
         " bytes: " + Command(report);
}

}  // namespace monitor::virtual_mouse
