// The change notification of a capture endpoint's volume control, passed
// on to the port's handler.
#pragma once

#include <windows.h>

#include <endpointvolume.h>

#include <atomic>
#include <functional>

namespace monitor::win32 {

// Reference-counted as COM wants; created with one reference, which its
// creator owns. COM interfaces have no virtual destructor by design: an
// object ends itself in Release, never through an interface pointer.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class TMyEndpointVolumeCallback final : public IAudioEndpointVolumeCallback {
 public:
  explicit TMyEndpointVolumeCallback(std::function<void()> onChange);
  TMyEndpointVolumeCallback(const TMyEndpointVolumeCallback&) = delete;
  TMyEndpointVolumeCallback& operator=(const TMyEndpointVolumeCallback&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // Runs on a thread of the audio service.
  HRESULT STDMETHODCALLTYPE OnNotify(AUDIO_VOLUME_NOTIFICATION_DATA* notification) override;

 private:
  ~TMyEndpointVolumeCallback() = default;  // only Release ends it

  std::atomic<ULONG> references_ = 1;
  const std::function<void()> onChange_;
};
#pragma GCC diagnostic pop

}  // namespace monitor::win32
