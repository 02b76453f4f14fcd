// A feature-report writer that keeps every report it is given.
#pragma once

#include <cstdint>
#include <vector>

#include "device/HidTypes.h"

namespace monitor::fakes {

class RecordingReportWriter : public FeatureReportWriter {
 public:
  std::uint32_t HidFindAndSetFeatureReport(THIDDataParam& ReportData) override {
    reports.push_back(ReportData);
    return result;
  }

  std::vector<THIDDataParam> reports;
  std::uint32_t result = 0;  // what every call returns
};

}  // namespace monitor::fakes
