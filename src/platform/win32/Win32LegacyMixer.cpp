#include "platform/win32/Win32LegacyMixer.h"

#include <windows.h>

#include <mmsystem.h>

#include <utility>

#include "platform/win32/UniqueResource.h"

namespace monitor::win32 {
namespace {

using UniqueMixer = UniqueResource<HMIXER, &mixerClose>;

HMIXEROBJ AsObject(HMIXER mixer) { return reinterpret_cast<HMIXEROBJ>(mixer); }

DWORD ComponentType(MixerLineKind kind) {
  switch (kind) {
    case MixerLineKind::Speakers:
      return MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    case MixerLineKind::Microphone:
      return MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
    case MixerLineKind::WaveOut:
      return MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
    case MixerLineKind::Synthesizer:
      return MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER;
  }
  return 0;  // names no line
}

// The mute control of one line, read and written as one value for all
// channels together.
class MixerMuteControl final : public MixerLineMute {
 public:
  MixerMuteControl(UniqueMixer mixer, DWORD controlId) : mixer_(std::move(mixer)), controlId_(controlId) {}

  std::optional<bool> Read() override {
    MIXERCONTROLDETAILS_BOOLEAN value{};
    MIXERCONTROLDETAILS details = Details(value);
    if (mixerGetControlDetailsW(AsObject(mixer_.get()), &details,
                                MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) != MMSYSERR_NOERROR) {
      return std::nullopt;
    }
    return value.fValue != 0;
  }

  bool Write(bool mute) override {
    MIXERCONTROLDETAILS_BOOLEAN value{mute ? 1 : 0};
    MIXERCONTROLDETAILS details = Details(value);
    return mixerSetControlDetails(AsObject(mixer_.get()), &details,
                                  MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE) == MMSYSERR_NOERROR;
  }

 private:
  MIXERCONTROLDETAILS Details(MIXERCONTROLDETAILS_BOOLEAN& value) const {
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof details;
    details.dwControlID = controlId_;
    details.cChannels = 1;
    details.cbDetails = sizeof value;
    details.paDetails = &value;
    return details;
  }

  UniqueMixer mixer_;
  DWORD controlId_;
};

}  // namespace

LegacyMixer::Opened Win32LegacyMixer::OpenLineMute(MixerLineKind kind) {
  if (mixerGetNumDevs() == 0) {
    return {Opening::NoMixer, nullptr};
  }
  UniqueMixer mixer;
  if (mixerOpen(mixer.put(), 0, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
    return {Opening::OpenFailed, nullptr};
  }
  MIXERLINEW line{};
  line.cbStruct = sizeof line;
  line.dwComponentType = ComponentType(kind);
  if (mixerGetLineInfoW(AsObject(mixer.get()), &line,
                        MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) != MMSYSERR_NOERROR) {
    return {Opening::NoLine, nullptr};
  }
  MIXERCONTROLW control{};
  MIXERLINECONTROLSW controls{};
  controls.cbStruct = sizeof controls;
  controls.dwLineID = line.dwLineID;
  controls.dwControlType = MIXERCONTROL_CONTROLTYPE_MUTE;
  controls.cControls = 1;
  controls.cbmxctrl = sizeof control;
  controls.pamxctrl = &control;
  if (mixerGetLineControlsW(AsObject(mixer.get()), &controls,
                            MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) != MMSYSERR_NOERROR) {
    return {Opening::NoMuteControl, nullptr};
  }
  return {Opening::Opened, std::make_unique<MixerMuteControl>(std::move(mixer), control.dwControlID)};
}

}  // namespace monitor::win32
