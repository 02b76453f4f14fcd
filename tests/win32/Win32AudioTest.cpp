// The microphone adapters under Wine. ctest runs these twice: without a
// sound server, where Wine has no audio device at all, and with a sound
// server whose only source is a null source, the default capture endpoint.
#include <gtest/gtest.h>
#include <windows.h>

#include <endpointvolume.h>

#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <thread>

#include "platform/win32/EndpointVolumeCallback.h"
#include "platform/win32/Win32AudioEndpoints.h"
#include "platform/win32/Win32LegacyMixer.h"

namespace monitor::win32 {
namespace {

enum class SoundServer { None, NullSource };

std::optional<SoundServer> ExpectedSoundServer() {
  const char* named = std::getenv("MONITOR_SOUND_SERVER");
  if (named == nullptr) {
    return std::nullopt;
  }
  if (std::string_view(named) == "null-source") {
    return SoundServer::NullSource;
  }
  return SoundServer::None;
}

constexpr const char* kNoSoundServerNamed =
    "MONITOR_SOUND_SERVER names the sound server of the run (none or null-source); ctest sets it";

// Why a test of that sound server does not run now; nullopt when it does.
std::optional<const char*> NotRunWithout(SoundServer needed) {
  const std::optional<SoundServer> server = ExpectedSoundServer();
  if (!server) {
    return kNoSoundServerNamed;
  }
  if (*server != needed) {
    return "not the sound server of this run";
  }
  return std::nullopt;
}

TEST(Win32AudioEndpoints, WithoutASoundServerThereIsNoCaptureEndpoint) {
  if (const auto reason = NotRunWithout(SoundServer::None)) {
    GTEST_SKIP() << *reason;
  }
  Win32AudioEndpoints audio;
  EXPECT_EQ(audio.OpenDefaultCaptureEndpoint([] {}), nullptr);
  EXPECT_EQ(audio.OpenDefaultCaptureEndpoint([] {}), nullptr);  // every mute press tries again
}

// In this Wine the mute state lives in the endpoint object of the process,
// and the audio service never calls the change handler.
TEST(Win32AudioEndpoints, TheNullSourceIsTheCaptureEndpointAndItsMuteToggles) {
  if (const auto reason = NotRunWithout(SoundServer::NullSource)) {
    GTEST_SKIP() << *reason;
  }
  Win32AudioEndpoints audio;
  const auto endpoint = audio.OpenDefaultCaptureEndpoint([] {});
  ASSERT_NE(endpoint, nullptr);
  const std::optional<bool> initial = endpoint->GetMute();
  ASSERT_TRUE(initial.has_value());

  for (const bool mute : {!*initial, *initial}) {
    SCOPED_TRACE(mute);
    EXPECT_TRUE(endpoint->SetMute(mute));
    EXPECT_EQ(endpoint->GetMute(), mute);
  }
}

// The adapter joins the calling thread to COM only where it has not joined
// already, and leaves as it came. Each case runs on a fresh thread.
TEST(Win32AudioEndpoints, LeavesTheThreadsComApartmentAsItFoundIt) {
  struct Case {
    const char* thread;
    std::optional<COINIT> ownApartment;
    HRESULT joiningAfterwards;  // the thread's own apartment again, or a new one
  };
  const Case cases[] = {
      {"outside COM", std::nullopt, S_OK},
      {"in the multithreaded apartment", COINIT_MULTITHREADED, S_FALSE},
  };
  const std::optional<SoundServer> server = ExpectedSoundServer();
  if (!server) {
    GTEST_SKIP() << kNoSoundServerNamed;
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.thread);
    std::thread([&] {
      if (c.ownApartment) {
        ASSERT_EQ(CoInitializeEx(nullptr, *c.ownApartment), S_OK);
      }
      {
        Win32AudioEndpoints audio;
        const auto endpoint = audio.OpenDefaultCaptureEndpoint([] {});
        EXPECT_EQ(endpoint != nullptr, *server == SoundServer::NullSource);
      }
      const HRESULT joining = CoInitializeEx(nullptr, c.ownApartment.value_or(COINIT_APARTMENTTHREADED));
      EXPECT_EQ(joining, c.joiningAfterwards);
      if (SUCCEEDED(joining)) {
        CoUninitialize();
      }
      if (c.ownApartment) {
        CoUninitialize();
      }
    }).join();
  }
}

// Wine's audio service never notifies, so the handler is driven here as the
// service would drive it, through its interface.
TEST(TMyEndpointVolumeCallback, IsACallbackObjectThatPassesNotificationsOn) {
  int notifications = 0;
  auto* callback = new TMyEndpointVolumeCallback([&] {
    if (++notifications == 2) {
      throw std::runtime_error("a handler that fails");
    }
  });

  IAudioEndpointVolumeCallback* asCallback = nullptr;
  ASSERT_EQ(
      callback->QueryInterface(__uuidof(IAudioEndpointVolumeCallback), reinterpret_cast<void**>(&asCallback)),
      S_OK);
  IUnknown* asUnknown = nullptr;
  ASSERT_EQ(callback->QueryInterface(__uuidof(IUnknown), reinterpret_cast<void**>(&asUnknown)), S_OK);
  EXPECT_EQ(asUnknown, static_cast<IUnknown*>(asCallback));
  void* other = callback;
  EXPECT_EQ(callback->QueryInterface(__uuidof(IAudioEndpointVolume), &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);

  AUDIO_VOLUME_NOTIFICATION_DATA data{};
  EXPECT_EQ(asCallback->OnNotify(&data), S_OK);
  EXPECT_EQ(asCallback->OnNotify(&data), S_OK);  // the handler throws; nothing escapes
  EXPECT_EQ(notifications, 2);

  // A count that is off ends the test here rather than in a use after free.
  ASSERT_EQ(asUnknown->Release(), 2u);
  ASSERT_EQ(asCallback->Release(), 1u);
  EXPECT_EQ(callback->Release(), 0u);
}

// Wine's mixer device 0 is its default output: its speakers line and the
// wave-out source have mute controls, and the microphone is a line of
// another device. Without a sound server there is no mixer at all.
TEST(Win32LegacyMixer, OpensTheLinesThatMixerDeviceZeroHas) {
  const std::optional<SoundServer> server = ExpectedSoundServer();
  if (!server) {
    GTEST_SKIP() << kNoSoundServerNamed;
  }
  using Opening = LegacyMixer::Opening;
  struct Case {
    MixerLineKind kind;
    Opening withoutServer;
    Opening withNullSource;
  };
  const Case cases[] = {
      {MixerLineKind::Speakers, Opening::NoMixer, Opening::Opened},
      {MixerLineKind::Microphone, Opening::NoMixer, Opening::NoLine},
      {MixerLineKind::WaveOut, Opening::NoMixer, Opening::Opened},
      {MixerLineKind::Synthesizer, Opening::NoMixer, Opening::NoLine},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    const LegacyMixer::Opened opened = Win32LegacyMixer().OpenLineMute(c.kind);
    EXPECT_EQ(opened.result, *server == SoundServer::None ? c.withoutServer : c.withNullSource);
    EXPECT_EQ(opened.control != nullptr, opened.result == Opening::Opened);
  }
}

// The mixer keeps the state, not the control object: a line opened again
// reads what the first one wrote.
TEST(Win32LegacyMixer, SpeakersMuteIsWrittenAndReadBack) {
  if (const auto reason = NotRunWithout(SoundServer::NullSource)) {
    GTEST_SKIP() << *reason;
  }
  Win32LegacyMixer mixer;
  const auto speakers = mixer.OpenLineMute(MixerLineKind::Speakers).control;
  ASSERT_NE(speakers, nullptr);
  const std::optional<bool> initial = speakers->Read();
  ASSERT_TRUE(initial.has_value());

  for (const bool mute : {!*initial, *initial}) {
    SCOPED_TRACE(mute);
    EXPECT_TRUE(speakers->Write(mute));
    EXPECT_EQ(speakers->Read(), mute);
    const auto reopened = mixer.OpenLineMute(MixerLineKind::Speakers).control;
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->Read(), mute);
  }
}

}  // namespace
}  // namespace monitor::win32
