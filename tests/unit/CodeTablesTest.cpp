#include <gtest/gtest.h>

#include "profiles/CodeTables.h"

namespace monitor {
namespace {

TEST(CodeTables, ButtonFunctionRowsFollowTheirGroups) {
  struct Group {
    int first;
    int last;
    std::uint32_t deviceCode;
    std::uint32_t firstFunctionID;  // rising by one per row
  };
  const Group groups[] = {
      {0, 0, 1, 1},       {1, 1, 2, 2},     {2, 2, 3, 3},     {3, 3, 5, 4},      {4, 4, 4, 5},
      {5, 5, 16, 6},      {6, 6, 15, 7},    {7, 14, 15, 801}, {15, 20, 15, 901}, {21, 27, 14, 1001},
      {28, 28, 19, 1008}, {29, 29, 17, 11}, {30, 30, 8, 12},  {31, 31, 17, 13},  {32, 32, 19, 14},
      {33, 33, 10, 15},   {34, 34, 9, 16},  {35, 35, 13, 17}, {36, 36, 14, 18},
  };
  int covered = 0;
  for (const Group& g : groups) {
    for (int row = g.first; row <= g.last; ++row) {
      SCOPED_TRACE(row);
      const ButtonFunction& function = kButtonFunctionTable.at(static_cast<std::size_t>(row));
      EXPECT_EQ(function.DeviceCode, g.deviceCode);
      EXPECT_EQ(function.FunctionID, g.firstFunctionID + static_cast<std::uint32_t>(row - g.first));
      ++covered;
    }
  }
  EXPECT_EQ(covered, kButtonFunctionCount);
}

TEST(CodeTables, TheMonitorsOwnFunctionsAreReportedOrMacroRows) {
  EXPECT_EQ(kButtonFunctionTable[kFunctionMicrophoneMute].DeviceCode, 19u);
  EXPECT_EQ(kButtonFunctionTable[kFunctionRecordMacro].DeviceCode, 19u);
  EXPECT_EQ(kButtonFunctionTable[kFunctionPlayMacro].DeviceCode, 17u);
  EXPECT_EQ(kButtonFunctionTable[kFunctionDeviceMacro].DeviceCode, 17u);
}

TEST(CodeTables, ReportCodesSetOneBitLowByteFirst) {
  EXPECT_EQ(kReportCodes[0], (ReportCode{0x01, 0x00, 0x00}));
  EXPECT_EQ(kReportCodes[7], (ReportCode{0x80, 0x00, 0x00}));
  EXPECT_EQ(kReportCodes[8], (ReportCode{0x00, 0x01, 0x00}));
  EXPECT_EQ(kReportCodes[16], (ReportCode{0x00, 0x00, 0x01}));
  EXPECT_EQ(kReportCodes[23], (ReportCode{0x00, 0x00, 0x80}));
}

TEST(CodeTables, KeyIndexIsFoundOnlyForSingleBitCodes) {
  for (int k = 0; k < kKeyIndexCount; ++k) {
    EXPECT_EQ(KeyIndexOfReportCode(kReportCodes[static_cast<std::size_t>(k)]), k);
  }
  EXPECT_EQ(KeyIndexOfReportCode({0x03, 0x00, 0x00}), std::nullopt);  // two buttons
  EXPECT_EQ(KeyIndexOfReportCode({0x00, 0x00, 0x00}), std::nullopt);  // release
}

}  // namespace
}  // namespace monitor
