// The macro recorder on the real hook component, fed through a fake hook
// library, with the profile manager and the desktop in memory. Uploads and
// announcements are noted instead of reaching a mouse or a peer program.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fakes/FakeDesktop.h"
#include "fakes/FakeInput.h"
#include "fakes/FakeMainLoop.h"
#include "fakes/ProfileWorld.h"
#include "macros/Hook.h"
#include "macros/MacroRecorder.h"

namespace monitor {

struct RecorderWorld {
  ProfileWorld profiles;
  std::unique_ptr<TDM> dm = profiles.Start();
  fakes::FakeMainLoop loop;
  fakes::FakeHookLibrary library;
  fakes::FakeKeyboardState keyboard;
  fakes::FakeShell shell;
  fakes::FakeOverlayWindow overlay;
  fakes::FakeScreen screen;
  TranslateText translate = [](std::u16string_view text) { return std::u16string(text); };
  TxaHook hook{library, keyboard, shell};
  std::vector<std::int32_t> uploads;    // the banks uploaded, in order
  std::vector<std::int32_t> announced;  // the profiles announced, in order
  std::function<void()> onUpload;       // runs during each upload
  TMacroRecorder recorder{{*dm, hook, loop, profiles.debug, translate,
                           [this] { return std::make_unique<TFrmRecord>(overlay, screen, loop, translate); },
                           [this](std::int32_t bank) {
                             uploads.push_back(bank);
                             if (onUpload) {
                               onUpload();
                             }
                           },
                           [this](std::int32_t profile) { announced.push_back(profile); }}};

  RecorderWorld() {
    hook.OnRecordMouseMacroKey = [this](std::int32_t type, TMouseButtons button, std::int32_t state,
                                        std::int32_t, std::int32_t, double, const std::u16string& text,
                                        const std::u16string&, const TxaHook::MouseRecordList&) {
      recorder.xaHook1RecordMouseMacroKey(type, button, state, text);
    };
  }
  RecorderWorld(const RecorderWorld&) = delete;
  RecorderWorld& operator=(const RecorderWorld&) = delete;
};

}  // namespace monitor
