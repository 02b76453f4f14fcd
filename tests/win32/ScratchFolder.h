// A folder for the files the tests make.
#pragma once

#include <string>

namespace monitor::win32 {

// A folder under the temporary folder, unique to this run, so a reused
// prefix never shows an earlier run's files.
const std::u16string& ScratchFolder();

}  // namespace monitor::win32
