// Behaviour every FileSystem implementation must share: run against the
// in-memory fake natively and against the Windows file system under Wine.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/FileSystem.h"

namespace monitor::contract {

struct FileSystemUnderTest {
  std::string name;
  std::function<std::unique_ptr<FileSystem>()> make;
  // An existing folder, unique to this run, without trailing "\\".
  std::function<std::u16string()> scratchFolder;
};

class FileSystemContract : public ::testing::TestWithParam<FileSystemUnderTest> {
 protected:
  void SetUp() override;

  std::unique_ptr<FileSystem> files_;
  std::u16string folder_;  // fresh and empty for each test, without trailing "\\"
};

inline std::string FileSystemName(const ::testing::TestParamInfo<FileSystemUnderTest>& info) {
  return info.param.name;
}

}  // namespace monitor::contract
