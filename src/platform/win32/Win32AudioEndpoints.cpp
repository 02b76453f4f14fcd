#include "platform/win32/Win32AudioEndpoints.h"

#include <windows.h>

#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include <new>
#include <utility>

#include "platform/win32/ComPtr.h"
#include "platform/win32/EndpointVolumeCallback.h"

namespace monitor::win32 {
namespace {

constexpr DWORD kServerContexts = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;

// The endpoint with everything it was reached through, and the change
// handler registered on it.
class CaptureEndpointVolume final : public EndpointVolume {
 public:
  CaptureEndpointVolume(ComPtr<IMMDeviceEnumerator> enumerator, ComPtr<IMMDevice> device,
                        ComPtr<IAudioEndpointVolume> endpoint)
      : enumerator_(std::move(enumerator)), device_(std::move(device)), endpoint_(std::move(endpoint)) {}
  CaptureEndpointVolume(const CaptureEndpointVolume&) = delete;
  CaptureEndpointVolume& operator=(const CaptureEndpointVolume&) = delete;

  // The audio service must not call a handler whose owner has gone.
  ~CaptureEndpointVolume() override {
    if (callback_) {
      endpoint_.get()->UnregisterControlChangeNotify(callback_.get());
    }
  }

  bool Listen(std::function<void()> onChange) {
    ComPtr<TMyEndpointVolumeCallback> callback(new (std::nothrow)
                                                   TMyEndpointVolumeCallback(std::move(onChange)));
    if (!callback || FAILED(endpoint_.get()->RegisterControlChangeNotify(callback.get()))) {
      return false;
    }
    callback_ = std::move(callback);
    return true;
  }

  std::optional<bool> GetMute() override {
    BOOL muted = FALSE;
    if (FAILED(endpoint_.get()->GetMute(&muted))) {
      return std::nullopt;
    }
    return muted != FALSE;
  }

  bool SetMute(bool mute) override {
    return SUCCEEDED(endpoint_.get()->SetMute(mute ? TRUE : FALSE, nullptr));
  }

 private:
  ComPtr<IMMDeviceEnumerator> enumerator_;
  ComPtr<IMMDevice> device_;
  ComPtr<IAudioEndpointVolume> endpoint_;
  ComPtr<TMyEndpointVolumeCallback> callback_;  // set only while registered
};

}  // namespace

Win32AudioEndpoints::~Win32AudioEndpoints() {
  if (comInitialised_) {
    CoUninitialize();
  }
}

bool Win32AudioEndpoints::JoinApartment() {
  if (!comUsable_) {
    const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    comInitialised_ = SUCCEEDED(result);
    // A thread already in the multithreaded apartment can use COM as it is.
    comUsable_ = comInitialised_ || result == RPC_E_CHANGED_MODE;
  }
  return comUsable_;
}

std::unique_ptr<EndpointVolume> Win32AudioEndpoints::OpenDefaultCaptureEndpoint(
    std::function<void()> onChange) {
  if (!JoinApartment()) {
    return nullptr;
  }
  ComPtr<IMMDeviceEnumerator> enumerator;
  if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, kServerContexts,
                              __uuidof(IMMDeviceEnumerator), PutUntyped(enumerator)))) {
    return nullptr;
  }
  ComPtr<IMMDevice> device;
  if (FAILED(enumerator.get()->GetDefaultAudioEndpoint(eCapture, eMultimedia, device.put()))) {
    return nullptr;
  }
  ComPtr<IAudioEndpointVolume> endpoint;
  if (FAILED(device.get()->Activate(__uuidof(IAudioEndpointVolume), kServerContexts, nullptr,
                                    PutUntyped(endpoint)))) {
    return nullptr;
  }
  auto volume =
      std::make_unique<CaptureEndpointVolume>(std::move(enumerator), std::move(device), std::move(endpoint));
  if (!volume->Listen(std::move(onChange))) {
    return nullptr;
  }
  return volume;
}

}  // namespace monitor::win32
