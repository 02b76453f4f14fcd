// Owner of a kernel handle (file, process, thread), closed exactly once.
#pragma once

#include <windows.h>

#include "platform/win32/UniqueResource.h"

namespace monitor::win32 {

using UniqueHandle = UniqueResource<HANDLE, &CloseHandle>;

// CreateFileW reports failure as INVALID_HANDLE_VALUE, not as the owner's
// empty value (null).
inline UniqueHandle OwnFileHandle(HANDLE file) {
  return UniqueHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

}  // namespace monitor::win32
