#include "macros/MacroPlayer.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <ranges>
#include <vector>

#include "device/DeviceUpload.h"
#include "profiles/CodeTables.h"

namespace monitor {
namespace {

constexpr std::uint8_t kVkBrowserBack = 0xA6;
constexpr std::uint8_t kVkBrowserForward = 0xA7;
constexpr int kWheelNotch = 120;

// One input an action presses or releases.
struct Input {
  enum class Kind { Key, Button } kind;
  std::uint8_t code;  // the virtual key or the MouseButton
  bool extended;

  friend bool operator==(const Input&, const Input&) = default;
};

// The input of a key or button action, if it has one; the back and forward
// buttons are played as the browser keys.
std::optional<Input> InputOf(const TMACROKEY& action) {
  switch (static_cast<ActionType>(action.nKeyType)) {
    case ActionType::Key:
      return Input{Input::Kind::Key, action.nKeyValue(), false};
    case ActionType::MouseButton:
      switch (action.MouseKey_Index()) {
        case 1:
          return Input{Input::Kind::Button, static_cast<std::uint8_t>(MouseButton::Left), false};
        case 2:
          return Input{Input::Kind::Button, static_cast<std::uint8_t>(MouseButton::Right), false};
        case 3:
          return Input{Input::Kind::Button, static_cast<std::uint8_t>(MouseButton::Middle), false};
        case 4:
          return Input{Input::Kind::Key, kVkBrowserBack, true};
        case 5:
          return Input{Input::Kind::Key, kVkBrowserForward, true};
        default:
          return std::nullopt;
      }
    default:
      return std::nullopt;
  }
}

bool IsPressOrRelease(const TMACROKEY& action) {
  return action.nKeyState == static_cast<std::uint16_t>(KeyState::Down) ||
         action.nKeyState == static_cast<std::uint16_t>(KeyState::Up);
}

}  // namespace

TMacroPlayer::TMacroPlayer(InputInjector& injector, Clock& clock, DebugOutput& debug)
    : injector_(injector), clock_(clock), debug_(debug) {}

void TMacroPlayer::PlayMacro(const TMouseProfileInfo& currentProfile) {
  IsPlayingMacro = true;
  debug_.Write(u"play macro");
  const TMACROKEYINFO macro = GetFirstMacroKeyInfo(currentProfile);
  const int count = std::clamp(macro.MacroListCount, 0, kMacroActionCapacity);

  const auto inject = [this](const Input& input, bool down) {
    return input.kind == Input::Kind::Key ? injector_.Key(input.code, down, input.extended)
                                          : injector_.Button(static_cast<MouseButton>(input.code), down);
  };
  std::vector<Input> held;  // pressed by this playback and not released yet
  for (int i = 0; i < count; ++i) {
    const TMACROKEY& action = macro.MacroList[i];
    bool injected = true;
    if (action.nKeyType == static_cast<std::uint16_t>(ActionType::Delay)) {
      clock_.WaitPrecisely(std::chrono::milliseconds(action.DELAY_L() + 256 * action.DELAY_H()));
    } else if (action.nKeyType == static_cast<std::uint16_t>(ActionType::WheelNotch)) {
      if (action.WHEEL_Index() == kWheelTowardUserIndex) {
        injected = injector_.Wheel(-kWheelNotch);
      } else if (action.WHEEL_Index() == kWheelAwayFromUserIndex) {
        injected = injector_.Wheel(kWheelNotch);
      }
    } else if (const auto input = InputOf(action); input && IsPressOrRelease(action)) {
      const bool down = action.nKeyState == static_cast<std::uint16_t>(KeyState::Down);
      injected = inject(*input, down);
      if (injected && down) {
        held.push_back(*input);
      } else if (injected) {
        std::erase(held, *input);
      }
    }
    if (!injected) {
      // Nothing this macro would have let go of stays pressed.
      for (const Input& input : std::ranges::reverse_view(held)) {
        const bool releasedLater =
            std::any_of(macro.MacroList + i, macro.MacroList + count, [&](const TMACROKEY& a) {
              return a.nKeyState == static_cast<std::uint16_t>(KeyState::Up) && InputOf(a) == input;
            });
        if (releasedLater) {
          inject(input, false);
        }
      }
      break;
    }
  }
  IsPlayingMacro = false;
}

}  // namespace monitor
