// The legacy mixer port on the winmm mixer of older systems.
#pragma once

#include "platform/Audio.h"

namespace monitor::win32 {

class Win32LegacyMixer final : public LegacyMixer {
 public:
  Opened OpenLineMute(MixerLineKind kind) override;
};

}  // namespace monitor::win32
