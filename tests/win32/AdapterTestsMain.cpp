// The entry point of adapter_tests: the tests, or a child role one of them
// asked for.
#include <gtest/gtest.h>

#include "win32/TestExecutable.h"

int main(int argc, char** argv) {
  using namespace monitor::win32;
  if (const auto role = ChildRole(argc, argv)) {
    struct Role {
      std::string_view name;
      int (*play)();
    };
    const Role roles[] = {
        {kWriteDebugLineRole, WriteDebugLineAsChild},   {kShowErrorRole, ShowErrorAsChild},
        {kReportVersionRole, ReportVersionAsChild},     {kWriteLaunchMarkerRole, WriteLaunchMarkerAsChild},
        {kLoadHookLibraryRole, LoadHookLibraryAsChild},
    };
    for (const Role& known : roles) {
      if (*role == known.name) {
        return known.play();
      }
    }
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
