// Recording a macro from the mouse: a recording button starts it, the next
// press stops it. While it runs, every button and wheel action made anywhere
// becomes an action of the recording buffer, with the pause before it, and
// the overlay lists it. A finished recording with at least one action is
// stored as "User Recorded" into the current profile, saved, uploaded to the
// mouse, stored by itself and announced to the configuration program.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "i18n/TranslateText.h"
#include "macros/Hook.h"
#include "macros/RecordOverlay.h"
#include "platform/DebugOutput.h"
#include "platform/MainLoop.h"
#include "platform/Timer.h"
#include "profiles/ProfileManager.h"

namespace monitor {

inline constexpr int kMaxRecordedActions = 127;
inline constexpr std::int32_t kLongestRecordedPauseMs = 8000;

struct RecorderServices {
  TDM& DM;
  TxaHook& xaHook1;
  MainLoop& mainLoop;
  DebugOutput& debug;
  TranslateText translate;
  // Makes the overlay; the recorder frees it when the recording stops.
  std::function<std::unique_ptr<TFrmRecord>()> createOverlay;
  // Writes the current profile into on-board bank AProfileIndex.
  std::function<void(std::int32_t AProfileIndex)> uploadProfileToDevice;
  // Tells the configuration program that a recording was saved.
  std::function<void(std::int32_t profileIndex)> announceRecordSaved;
};

class TMacroRecorder {
 public:
  explicit TMacroRecorder(RecorderServices services);

  TMACROKEYINFO FMacroInfo{};  // the recording buffer
  bool IsRecording = false;
  bool MouseActionSeen = false;
  std::int32_t PendingDelay = 0;

  // Starts a recording, or stops the running one; KeyIndex is the button
  // that was pressed.
  void ToggleRecordMacro(std::uint8_t KeyIndex);
  // The hook's report of one captured event.
  void xaHook1RecordMouseMacroKey(std::int32_t MacroType, TMouseButtons AButton, std::int32_t AState,
                                  const std::u16string& MacroKeyString);
  [[nodiscard]] TFrmRecord* Overlay() const { return overlay_.get(); }

 private:
  void Start();
  void Stop(std::uint8_t keyIndex);
  void StoreAction(const TMACROKEY& action);

  RecorderServices services_;
  std::unique_ptr<TFrmRecord> overlay_;
  // While recording, puts the mouse hook back if the system removed it.
  TTimer hookWatch_;
};

}  // namespace monitor
