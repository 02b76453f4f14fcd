// A folder for the files a test makes, under the temporary folder.
#pragma once

#include <string>

namespace monitor::win32 {

// Unique to this run, so that a reused Wine prefix never shows an earlier
// run's files; without a final backslash.
const std::wstring& ScratchFolder();

}  // namespace monitor::win32
