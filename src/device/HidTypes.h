// The parameter block of the HID write and feature operations, and the
// writer of feature reports the device upload sends through.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/UsageAndPage.h"

namespace monitor {

// The largest report the block carries: the report ID and 65535 data bytes.
inline constexpr std::size_t kMaxHidReportBytes = 1 + 65535;

struct THIDDataParam {
  USAGE_AND_PAGE UsageAndPage{};  // the collection the target interface must have
  std::u16string DeviceID;        // a hardware id, or "*" or empty for any device
  // The report, report ID first (THidReallyData: ReportID, DATAReally). Its
  // size bounds every transfer; DATASIZE larger than it is refused.
  std::vector<std::uint8_t> Data;
  // The length to transfer: the data bytes after the ID for a plain write,
  // the whole report with its ID for the feature operations.
  std::uint32_t DATASIZE = 0;
};

class FeatureReportWriter {
 public:
  virtual ~FeatureReportWriter() = default;

  // Sends the feature report to every matching interface whose feature
  // report length is at least DATASIZE; 0 on success, else the system error
  // code of the last interface served.
  virtual std::uint32_t HidFindAndSetFeatureReport(THIDDataParam& ReportData) = 0;
};

}  // namespace monitor
