// The microphone's mute switch: the default capture endpoint of the audio
// service, and the legacy mixer of older systems.
#pragma once

#include <functional>
#include <memory>
#include <optional>

namespace monitor {

// The volume control of one endpoint.
class EndpointVolume {
 public:
  virtual ~EndpointVolume() = default;

  // nullopt when the state cannot be read.
  virtual std::optional<bool> GetMute() = 0;
  // False when the state cannot be written.
  virtual bool SetMute(bool mute) = 0;
};

class AudioEndpoints {
 public:
  virtual ~AudioEndpoints() = default;

  // The volume control of the default capture endpoint (multimedia role),
  // with onChange registered for its change notifications, which come on a
  // thread of the audio service. nullptr when any step fails (no endpoint).
  virtual std::unique_ptr<EndpointVolume> OpenDefaultCaptureEndpoint(std::function<void()> onChange) = 0;
};

// Lines of the legacy mixer.
enum class MixerLineKind {
  Speakers = 0,
  Microphone = 1,
  WaveOut = 2,
  Synthesizer = 3,
};

// The mute control of one line of mixer device 0, opened for one read or
// write and closed with the object.
class MixerLineMute {
 public:
  virtual ~MixerLineMute() = default;

  virtual std::optional<bool> Read() = 0;
  virtual bool Write(bool mute) = 0;
};

class LegacyMixer {
 public:
  virtual ~LegacyMixer() = default;

  // How far opening a line's mute control got.
  enum class Opening { NoMixer, OpenFailed, NoLine, NoMuteControl, Opened };
  struct Opened {
    Opening result;
    std::unique_ptr<MixerLineMute> control;  // only with Opening::Opened
  };
  virtual Opened OpenLineMute(MixerLineKind kind) = 0;
};

}  // namespace monitor
