// The audio endpoint port on Core Audio.
#pragma once

#include "platform/Audio.h"

namespace monitor::win32 {

// Joins the calling thread to a single-threaded COM apartment on its first
// open and leaves it again on destruction, so it is used from one thread,
// and every endpoint it opened is released before it.
class Win32AudioEndpoints final : public AudioEndpoints {
 public:
  Win32AudioEndpoints() = default;
  ~Win32AudioEndpoints() override;
  Win32AudioEndpoints(const Win32AudioEndpoints&) = delete;
  Win32AudioEndpoints& operator=(const Win32AudioEndpoints&) = delete;

  std::unique_ptr<EndpointVolume> OpenDefaultCaptureEndpoint(std::function<void()> onChange) override;

 private:
  bool JoinApartment();

  bool comUsable_ = false;
  bool comInitialised_ = false;  // by this object, which must balance it
};

}  // namespace monitor::win32
