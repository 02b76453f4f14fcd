// Owner of one reference to a COM object, given back exactly once.
#pragma once

#include "platform/win32/UniqueResource.h"

namespace monitor::win32 {

template <class Interface>
void ReleaseReference(Interface* object) {
  object->Release();
}

template <class Interface>
using ComPtr = UniqueResource<Interface*, &ReleaseReference<Interface>>;

// The out-argument of the COM calls that fill in a pointer of any interface.
template <class Interface>
void** PutUntyped(ComPtr<Interface>& owner) {
  return reinterpret_cast<void**>(owner.put());
}

}  // namespace monitor::win32
