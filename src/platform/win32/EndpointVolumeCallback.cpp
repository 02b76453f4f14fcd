#include "platform/win32/EndpointVolumeCallback.h"

#include <utility>

namespace monitor::win32 {

TMyEndpointVolumeCallback::TMyEndpointVolumeCallback(std::function<void()> onChange)
    : onChange_(std::move(onChange)) {}

HRESULT STDMETHODCALLTYPE TMyEndpointVolumeCallback::QueryInterface(REFIID interfaceId, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  if (IsEqualIID(interfaceId, __uuidof(IUnknown)) ||
      IsEqualIID(interfaceId, __uuidof(IAudioEndpointVolumeCallback))) {
    *object = static_cast<IAudioEndpointVolumeCallback*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE TMyEndpointVolumeCallback::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE TMyEndpointVolumeCallback::Release() {
  const ULONG left = --references_;
  if (left == 0) {
    delete this;
  }
  return left;
}

HRESULT STDMETHODCALLTYPE
TMyEndpointVolumeCallback::OnNotify(AUDIO_VOLUME_NOTIFICATION_DATA* /*notification*/) {
  // No exception may cross into the audio service's frames.
  try {
    if (onChange_) {
      onChange_();
    }
  } catch (...) {
  }
  return S_OK;
}

}  // namespace monitor::win32
