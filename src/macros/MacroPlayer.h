// Playing the current profile's first macro by injecting input, on the main
// thread, with the macro's delays as real pauses.
#pragma once

#include "platform/Clock.h"
#include "platform/DebugOutput.h"
#include "platform/InputInjector.h"
#include "profiles/ProfileRecords.h"

namespace monitor {

class TMacroPlayer {
 public:
  TMacroPlayer(InputInjector& injector, Clock& clock, DebugOutput& debug);

  bool IsPlayingMacro = false;

  // Plays a copy of the profile's first macro, at most its 128 actions.
  // When the system refuses an event, playback ends there, and every key or
  // button it pressed that the macro would have released is released.
  void PlayMacro(const TMouseProfileInfo& currentProfile);

 private:
  InputInjector& injector_;
  Clock& clock_;
  DebugOutput& debug_;
};

}  // namespace monitor
