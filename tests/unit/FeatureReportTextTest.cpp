#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/virtual_mouse/FeatureReportText.h"

namespace monitor::virtual_mouse {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Padded(Bytes bytes, std::size_t length) {
  bytes.resize(length, 0);
  return bytes;
}

TEST(FeatureReportText, DecodesTheDeviceCommands) {
  struct Case {
    const char* what;
    Bytes report;
    std::string line;
  };
  const Case cases[] = {
      {"transaction begin", Padded({2, 0x06, 0}, 16), "feature report 2, 16 bytes: transaction begin"},
      {"transaction end", Padded({2, 0x06, 1}, 16), "feature report 2, 16 bytes: transaction end"},
      {"write memory, payload only up to its length",
       Padded({3, 0x02, 0xD1, 0x00, 3, 0, 0xFA, 0xFA, 0x81, 0x01, 0x01, 0x06}, 16),
       "feature report 3, 16 bytes: write memory at 0x00D1, 3 bytes: 81 01 01"},
      {"write memory longer than the report",
       {2, 0x02, 0x90, 0x09, 10, 0, 0xFA, 0xFA, 0xAA, 0xBB},
       "feature report 2, 10 bytes: write memory at 0x0990, 10 bytes (2 in the report): AA BB"},
      {"other command in raw hex", {4, 0x05, 0x01, 0xFE}, "feature report 4, 4 bytes: 04 05 01 FE"},
      {"unknown transaction value in raw hex", {2, 0x06, 0x02}, "feature report 2, 3 bytes: 02 06 02"},
      {"write memory header cut short in raw hex", {2, 0x02, 0x90}, "feature report 2, 3 bytes: 02 02 90"},
      {"only the ID", {2}, "feature report 2, 1 bytes: 02"},
      {"nothing", {}, "feature report without bytes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(DescribeFeatureReport(c.report), c.line);
  }
}

}  // namespace
}  // namespace monitor::virtual_mouse
