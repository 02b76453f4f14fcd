// The log line for a feature report the virtual mouse received: its ID and
// length, then the device command it carries, decoded.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace monitor::virtual_mouse {

// "02 06 00", upper-case pairs separated by spaces.
std::string HexBytes(std::span<const std::uint8_t> bytes);

// For example "feature report 3, 64 bytes: write memory at 0x00D1, 21 bytes: 81 01 01 ...",
// "feature report 2, 16 bytes: transaction begin", or, for any other
// command, "feature report 4, 1024 bytes: 04 07 ..." with every byte.
std::string DescribeFeatureReport(std::span<const std::uint8_t> report);

}  // namespace monitor::virtual_mouse
