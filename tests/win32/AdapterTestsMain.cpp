// The entry point of adapter_tests: the tests, or a child role one of them
// asked for.
#include <gtest/gtest.h>

#include "win32/TestExecutable.h"

int main(int argc, char** argv) {
  if (argc == 2 && argv[1] == monitor::win32::kWriteDebugLineRole) {
    return monitor::win32::WriteDebugLineAsChild();
  }
  if (argc == 2 && argv[1] == monitor::win32::kLoadHookLibraryRole) {
    return monitor::win32::LoadHookLibraryAsChild();
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
