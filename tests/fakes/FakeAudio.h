// A microphone for the mute toggle: a capture endpoint that may be missing,
// and a legacy mixer that may lack the line or its mute control.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "platform/Audio.h"

namespace monitor::fakes {

struct FakeMicrophone {
  bool muted = false;
  bool readFails = false;
  bool writeFails = false;
  int writes = 0;

  std::optional<bool> Read() const { return readFails ? std::nullopt : std::optional(muted); }
  bool Write(bool mute) {
    ++writes;
    if (!writeFails) {
      muted = mute;
    }
    return !writeFails;
  }
};

class FakeAudioEndpoints final : public AudioEndpoints {
 public:
  std::unique_ptr<EndpointVolume> OpenDefaultCaptureEndpoint(std::function<void()> notify) override {
    ++opens;
    if (!present) {
      return nullptr;
    }
    onChange = std::move(notify);
    return std::make_unique<Endpoint>(microphone);
  }

  bool present = true;
  int opens = 0;
  FakeMicrophone microphone;
  std::function<void()> onChange;

 private:
  class Endpoint final : public EndpointVolume {
   public:
    explicit Endpoint(FakeMicrophone& mic) : mic_(mic) {}
    std::optional<bool> GetMute() override {
      return mic_.readFails ? std::nullopt : std::optional(mic_.muted);
    }
    bool SetMute(bool mute) override {
      ++mic_.writes;
      if (!mic_.writeFails) {
        mic_.muted = mute;
      }
      return !mic_.writeFails;
    }

   private:
    FakeMicrophone& mic_;
  };
};

class FakeLegacyMixer final : public LegacyMixer {
 public:
  Opened OpenLineMute(MixerLineKind kind) override {
    lastKind = kind;
    if (opening != Opening::Opened) {
      return {opening, nullptr};
    }
    return {Opening::Opened, std::make_unique<Line>(microphone)};
  }

  Opening opening = Opening::Opened;
  std::optional<MixerLineKind> lastKind;
  FakeMicrophone microphone;

 private:
  class Line final : public MixerLineMute {
   public:
    explicit Line(FakeMicrophone& mic) : mic_(mic) {}
    std::optional<bool> Read() override { return mic_.Read(); }
    bool Write(bool mute) override { return mic_.Write(mute); }

   private:
    FakeMicrophone& mic_;
  };
};

}  // namespace monitor::fakes
