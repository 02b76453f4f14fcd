#include "macros/Hook.h"

#include <algorithm>
#include <string>

#include "device/KeyCodes.h"

namespace monitor {
namespace {

// Mouse messages.
constexpr std::uint32_t kMouseMove = 0x200;
constexpr std::uint32_t kLeftDown = 0x201;
constexpr std::uint32_t kLeftUp = 0x202;
constexpr std::uint32_t kRightDown = 0x204;
constexpr std::uint32_t kRightUp = 0x205;
constexpr std::uint32_t kMiddleDown = 0x207;
constexpr std::uint32_t kMiddleUp = 0x208;
constexpr std::uint32_t kWheel = 0x20A;
constexpr std::uint32_t kExtraDown = 0x20B;
constexpr std::uint32_t kExtraUp = 0x20C;

constexpr std::uint32_t kMouseInjected = 0x01;
constexpr std::uint32_t kKeyExtended = 0x01;
constexpr std::uint32_t kKeyReleased = 0x80;

// Keys of the combination capture.
constexpr std::uint16_t kVkShift = 0x10;
constexpr std::uint16_t kVkControl = 0x11;
constexpr std::uint16_t kVkMenu = 0x12;
constexpr std::uint16_t kVkLeftWin = 0x5B;
constexpr std::uint16_t kVkRightWin = 0x5C;
constexpr std::uint16_t kModifierKeys[] = {0xA2, 0xA3, 0xA4, 0xA5, kVkLeftWin, kVkRightWin, 0xA0, 0xA1};
constexpr std::uint32_t kComboWindowMs = 100;

constexpr std::uint32_t kMacroDelayMinimumMs = 10;
constexpr std::uint32_t kMacroDelayMaximumMs = 2000;
constexpr std::size_t kMacroExRecordLimit = 500;
constexpr std::uint32_t kLongestDelayMs = 65535;
// Input the hook should have seen, this long ago, means it was taken away.
constexpr std::uint32_t kLostHookMarginMs = 500;

std::u16string Decimal(std::uint32_t number) {
  const std::string text = std::to_string(number);
  return {text.begin(), text.end()};
}

std::u16string StateText(std::int32_t state) { return state == 1 ? u"Down" : u"Up"; }

std::int16_t HighWord(std::uint32_t value) { return static_cast<std::int16_t>(value >> 16); }

std::int32_t MouseState(std::uint32_t message) {
  return message == kLeftUp || message == kRightUp || message == kMiddleUp || message == kExtraUp ? 0 : 1;
}

// The button of a mouse message; the wheel gives `towardUser` for a turn
// towards the user and `awayFromUser` for one away.
TMouseButtons MouseButtonOf(std::uint32_t message, std::uint32_t mouseData, TMouseButtons towardUser,
                            TMouseButtons awayFromUser) {
  switch (message) {
    case kExtraDown:
    case kExtraUp:
      return HighWord(mouseData) == 1 ? XCLICK4 : HighWord(mouseData) == 2 ? XCLICK5 : BUTTON_NONE;
    case kWheel:
      return HighWord(mouseData) < 0 ? towardUser : HighWord(mouseData) > 0 ? awayFromUser : BUTTON_NONE;
    case kLeftDown:
    case kLeftUp:
      return LCLICK;
    case kRightDown:
    case kRightUp:
      return RCLICK;
    case kMiddleDown:
    case kMiddleUp:
      return MCLICK;
    default:
      return BUTTON_NONE;
  }
}

std::int32_t KeyState(const LowLevelKeyboardEvent& event) {
  return (event.flags & kKeyReleased) != 0 ? 0 : 1;
}

std::int32_t KeyExtended(const LowLevelKeyboardEvent& event) {
  return (event.flags & kKeyExtended) != 0 ? 1 : 0;
}

std::u16string KeyDescription(std::uint32_t virtualKey, std::int32_t extended) {
  return GetKeyDescriptionByVK(virtualKey, extended);
}

// The record of a key's press or release.
TMACROKEYHOOK KeyRecord(const LowLevelKeyboardEvent& event, double time) {
  const std::int32_t state = KeyState(event);
  const std::int32_t extended = KeyExtended(event);
  return {1,
          static_cast<std::uint16_t>(state),
          static_cast<std::uint16_t>(event.vkCode),
          static_cast<std::uint16_t>(extended),
          time,
          KeyDescription(event.vkCode, extended),
          StateText(state)};
}

// Milliseconds from `previous` to `now`; none when the clock went back
// (the system counter wraps after about 49.7 days).
std::uint32_t Elapsed(std::uint32_t previous, std::uint32_t now) {
  return now >= previous ? now - previous : 0;
}

}  // namespace

std::u16string MouseButtonDescription(TMouseButtons button) {
  switch (button) {
    case LCLICK:
      return u"Mouse Click";
    case RCLICK:
      return u"Mouse Right Click";
    case MCLICK:
      return u"Mouse Middle Click";
    case XCLICK4:
      return u"Backward(Mouse) ";
    case XCLICK5:
      return u"Forward(Mouse)";
    case WHEELUP:
      return u"Wheel up(Mouse)";
    case WHEELDOWN:
      return u"Wheel Down(Mouse)";
    default:
      return {};
  }
}

TxaHook::TxaHook(InputHookLibrary& library, KeyboardState& keyboard, Shell& shell)
    : library_(library), keyboard_(keyboard) {
  const auto loading = library_.Load();
  FDLLLoaded = loading == InputHookLibrary::Loading::Loaded;
  if (loading == InputHookLibrary::Loading::Missing) {
    shell.ShowError(u"xaHook.dll can not be found!", u"Error");
  }
}

// The hooks are removed before the library goes, so that no event ever
// reaches a hook procedure that is no longer there.
TxaHook::~TxaHook() {
  if (FDLLLoaded) {
    library_.DisableMouseHook();
    library_.DisableKeyboardHook();
    FDLLLoaded = false;
    library_.Unload();
  }
}

void TxaHook::EnableMouse(MouseProc proc) {
  if (!FDLLLoaded) {
    return;
  }
  library_.DisableMouseHook();
  mouseProc_ = proc;
  lastMouseEventSeen_ = keyboard_.LastInputTime();
  library_.EnableMouseHook(
      [this, proc](int code, std::uint32_t message, const LowLevelMouseEvent& event, bool& blocked) {
        lastMouseEventSeen_ = event.time;
        (this->*proc)(code, message, event, blocked);
      });
}

void TxaHook::EnableKeyboard(KeyboardProc proc) {
  if (!FDLLLoaded) {
    return;
  }
  library_.DisableKeyboardHook();
  library_.EnableKeyboardHook([this, proc](int code, std::uint32_t message,
                                           const LowLevelKeyboardEvent& event,
                                           bool& blocked) { (this->*proc)(code, message, event, blocked); });
}

void TxaHook::DisableMouse() {
  mouseProc_ = nullptr;
  if (FDLLLoaded) {
    library_.DisableMouseHook();
  }
}

void TxaHook::DisableKeyboard() {
  if (FDLLLoaded) {
    library_.DisableKeyboardHook();
  }
}

void TxaHook::ReinstallMouseHookIfLost() {
  if (mouseProc_ == nullptr) {
    return;
  }
  const std::uint32_t lastInput = keyboard_.LastInputTime();
  if (Elapsed(lastMouseEventSeen_, lastInput) > kLostHookMarginMs) {
    EnableMouse(mouseProc_);
  }
}

void TxaHook::StartHookKeyboard() { EnableKeyboard(&TxaHook::KeyboardHookProc); }
void TxaHook::StopHookKeyboard() { DisableKeyboard(); }
void TxaHook::StartHookMouse() { EnableMouse(&TxaHook::MouseHookProc); }
void TxaHook::StopHookMouse() { DisableMouse(); }
void TxaHook::AddKeyboardHookObject(const TKeyBoardHookDetail& AObject) {
  FKeyboardHookObjectList.push_back(AObject);
}
void TxaHook::RemoveAllKeyboardHookObject() { FKeyboardHookObjectList.clear(); }
void TxaHook::AddMouseHookObject(const TMouseHookDetail& AObject) { FMouseHookObjectList.push_back(AObject); }
void TxaHook::RemoveAllMouseHookObject() { FMouseHookObjectList.clear(); }
void TxaHook::RecordKeyboardSingleKey() { EnableKeyboard(&TxaHook::SingleKeyHookProc); }
void TxaHook::StopRecordKeyboardSingleKey() { DisableKeyboard(); }

void TxaHook::RecordKeyboardComboKey() {
  EnableKeyboard(&TxaHook::ComboKeyHookProc);
  FLastTimeKeyboardCombo = 0;
}

void TxaHook::StopRecordKeyboardComboKey() {
  DisableKeyboard();
  FLastTimeKeyboardCombo = 0;
}

void TxaHook::RecordKeyboardMacroKey() {
  FMacroKeyList.clear();
  EnableKeyboard(&TxaHook::MacroKeyHookProc);
}

void TxaHook::StopRecordKeyboardMacroKey() {
  DisableKeyboard();
  if (OnStopRecordKeyboardMacroKey) {
    OnStopRecordKeyboardMacroKey(FMacroKeyList);
  }
  FMacroKeyList.clear();
}

void TxaHook::RecordKeyboardMacroKeyEx() {
  FLastMacroKey = {};
  FTotalMacroTime = 0;
  FAllKeyState.fill(0);
  FMacroKeyList.clear();
  EnableKeyboard(&TxaHook::MacroKeyExHookProc);
}

void TxaHook::StopRecordKeyboardMacroKeyEx() { StopRecordKeyboardMacroKey(); }

void TxaHook::RecordMouseMacro() {
  FMouseMacroKeyList.clear();
  EnableMouse(&TxaHook::MouseMacroHookProc);
  FLastTimeMouseMacro = 0;
}

// The list stays filled until the next recording starts.
void TxaHook::StopRecordMouseMacro() {
  DisableMouse();
  if (OnStopRecordMouseMacroKey) {
    OnStopRecordMouseMacroKey(FMouseMacroKeyList);
  }
}

// Every mouse event that is not injected reports the time since the
// previous one, moves included; buttons and wheel turns also report
// themselves. Nothing is blocked.
void TxaHook::MouseMacroHookProc(int /*code*/, std::uint32_t message, const LowLevelMouseEvent& event,
                                 bool& /*blocked*/) {
  if (!OnRecordMouseMacroKey || (event.flags & kMouseInjected) != 0) {
    return;
  }
  const std::int32_t state = MouseState(message);
  const TMouseButtons button = MouseButtonOf(message, event.mouseData, WHEELUP, WHEELDOWN);
  const double time = event.time;
  if (FLastTimeMouseMacro == 0) {
    FLastTimeMouseMacro = event.time;
  } else if (event.time < FLastTimeMouseMacro) {
    FLastTimeMouseMacro = event.time;  // the clock went back: measure afresh
    return;
  } else {
    const std::uint32_t delay = event.time - FLastTimeMouseMacro;
    FLastTimeMouseMacro = event.time;
    TMOUSEMACROKEY record;
    record.X = event.x;
    record.Y = event.y;
    record.TimeValue = static_cast<std::uint16_t>(delay);
    record.Time = time;
    record.MacroKeyString = Decimal(delay);
    record.MacroKeyStateString = u"ms";
    FMouseMacroKeyList.push_back(record);
    OnRecordMouseMacroKey(0, BUTTON_NONE, 0, event.x, event.y, time, record.MacroKeyString,
                          record.MacroKeyStateString, FMouseMacroKeyList);
  }
  if (button == BUTTON_NONE) {
    return;
  }
  TMOUSEMACROKEY record;
  record.nKeyType = 1;
  record.nKeyState = static_cast<std::uint16_t>(state);
  record.MouseButton = button;
  record.X = event.x;
  record.Y = event.y;
  record.Time = time;
  record.MacroKeyString = MouseButtonDescription(button);
  record.MacroKeyStateString = StateText(state);
  FMouseMacroKeyList.push_back(record);
  OnRecordMouseMacroKey(1, button, state, event.x, event.y, time, record.MacroKeyString,
                        record.MacroKeyStateString, FMouseMacroKeyList);
}

void TxaHook::MouseHookProc(int /*code*/, std::uint32_t message, const LowLevelMouseEvent& event,
                            bool& blocked) {
  if ((event.flags & kMouseInjected) != 0) {
    return;
  }
  if (message == kMouseMove) {
    if (OnHookMouseMove) {
      OnHookMouseMove(event.x, event.y, event.time);
    }
    blocked = false;
    return;
  }
  const std::int32_t state = MouseState(message);
  const TMouseButtons button = MouseButtonOf(message, event.mouseData, WHEELDOWN, WHEELUP);
  std::int16_t extra = 0;
  if (message == kExtraDown || message == kExtraUp || message == kWheel) {
    extra = HighWord(event.mouseData);
  }
  if (OnHookMouseAllButton) {
    OnHookMouseAllButton(button, state, extra, blocked);
  }
  const std::uint32_t stateValue = message - kMouseMove;
  const auto watch = std::ranges::find_if(FMouseHookObjectList, [&](const TMouseHookDetail& detail) {
    return stateValue < 16 && (detail.MouseStateSet & (1u << stateValue)) != 0 &&
           detail.MouseButton >= button;
  });
  if (watch != FMouseHookObjectList.end() && watch->ModifiedFunction != button && OnHookMouseButton) {
    OnHookMouseButton(button, state, blocked);
  }
}

void TxaHook::KeyboardHookProc(int code, std::uint32_t /*message*/, const LowLevelKeyboardEvent& event,
                               bool& blocked) {
  if (code != 0) {
    return;
  }
  const std::int32_t key = static_cast<std::int32_t>(event.vkCode);
  const std::int32_t state = KeyState(event);
  const std::int32_t extended = KeyExtended(event);
  if (OnHookKeyboardAllKey) {
    OnHookKeyboardAllKey(key, state, extended, blocked, event.scanCode);
  }
  for (const TKeyBoardHookDetail& watch : FKeyboardHookObjectList) {
    if (watch.KeyboardVKKey == -1) {
      break;
    }
    const bool byKey = watch.KeyboardVKKey != 0 && watch.KeyboardVKKey == key;
    const bool byScan =
        watch.KeyboardSCANKey != 0 && watch.KeyboardSCANKey == static_cast<std::int32_t>(event.scanCode);
    if ((byKey || byScan) && watch.KeyExtended == extended) {
      if (watch.block == 1) {
        blocked = true;
      }
      if (OnHookKeyboardKey) {
        OnHookKeyboardKey(key, state, extended, blocked, event.scanCode);
      }
      break;
    }
  }
}

void TxaHook::SingleKeyHookProc(int /*code*/, std::uint32_t /*message*/, const LowLevelKeyboardEvent& event,
                                bool& blocked) {
  if (OnRecordKeyboardSingleKey) {
    const std::int32_t extended = KeyExtended(event);
    OnRecordKeyboardSingleKey(static_cast<std::int32_t>(event.vkCode), event.scanCode, KeyState(event),
                              extended, KeyDescription(event.vkCode, extended), blocked);
  }
}

void TxaHook::ComboKeyHookProc(int /*code*/, std::uint32_t /*message*/, const LowLevelKeyboardEvent& event,
                               bool& blocked) {
  const auto key = static_cast<std::uint16_t>(event.vkCode);
  if (KeyState(event) == 0 || std::ranges::find(kModifierKeys, key) != std::end(kModifierKeys)) {
    return;
  }
  FComboKeyString.clear();
  FComboKeyInfo.nModifier = 0;
  if (FComboKeyInfo.nKeyValue1 != 0 && FComboKeyInfo.nKeyValue2 != 0) {
    FComboKeyInfo = {};
  }
  const struct {
    bool down;
    std::uint16_t flag;
    std::u16string_view text;
  } modifiers[] = {
      {keyboard_.IsKeyDown(kVkControl), 2, u"Ctrl+"},
      {keyboard_.IsKeyDown(kVkMenu), 1, u"Alt+"},
      {keyboard_.IsKeyDown(kVkLeftWin) || keyboard_.IsKeyDown(kVkRightWin), 8, u"Win+"},
      {keyboard_.IsKeyDown(kVkShift), 4, u"Shift+"},
  };
  for (const auto& modifier : modifiers) {
    if (modifier.down) {
      FComboKeyInfo.nModifier = static_cast<std::uint16_t>(FComboKeyInfo.nModifier | modifier.flag);
      FComboKeyString += modifier.text;
    }
  }
  const auto extended = static_cast<std::uint16_t>(KeyExtended(event));
  const bool startsNew = Elapsed(FLastTimeKeyboardCombo, event.time) > kComboWindowMs;
  FLastTimeKeyboardCombo = event.time;
  if (startsNew || FComboKeyInfo.nKeyValue1 == 0 ||
      (FComboKeyInfo.nKeyValue2 == 0 && FComboKeyInfo.nKeyValue1 == key)) {
    FComboKeyInfo.nKeyValue1 = key;
    FComboKeyInfo.nKeyValue1Extended = extended;
    FComboKeyInfo.nKeyValue2 = 0;
    FComboKeyInfo.nKeyValue2Extended = 0;
  } else if (FComboKeyInfo.nKeyValue2 == 0) {
    FComboKeyInfo.nKeyValue2 = key;
    FComboKeyInfo.nKeyValue2Extended = extended;
  }
  std::u16string keys = KeyDescription(FComboKeyInfo.nKeyValue1, FComboKeyInfo.nKeyValue1Extended);
  if (FComboKeyInfo.nKeyValue2 != 0) {
    keys += u"+" + KeyDescription(FComboKeyInfo.nKeyValue2, FComboKeyInfo.nKeyValue2Extended);
  }
  FComboKeyString += keys;
  if (!FComboKeyString.empty() && OnRecordKeyboardComboKey) {
    OnRecordKeyboardComboKey(FComboKeyInfo.nKeyValue1, FComboKeyInfo.nKeyValue1Extended,
                             FComboKeyInfo.nKeyValue2, FComboKeyInfo.nKeyValue2Extended,
                             FComboKeyInfo.nModifier, FComboKeyString);
  }
  blocked = true;
}

// A pause between keys is reported before the key when it is longer than
// 10 ms and shorter than 2 s.
void TxaHook::MacroKeyHookProc(int /*code*/, std::uint32_t /*message*/, const LowLevelKeyboardEvent& event,
                               bool& blocked) {
  const std::uint32_t delay = Elapsed(FLastTimeKeyboardMacro, event.time);
  FLastTimeKeyboardMacro = event.time;
  const double time = event.time;
  if (delay > kMacroDelayMinimumMs && delay < kMacroDelayMaximumMs) {
    TMACROKEYHOOK record{0, 0, static_cast<std::uint16_t>(delay), 0, time, Decimal(delay), u"ms"};
    FMacroKeyList.push_back(record);
    if (OnRecordKeyboardMacroKey) {
      OnRecordKeyboardMacroKey(0, static_cast<std::int32_t>(delay), 0, 0, time, record.MacroKeyString,
                               record.MacroKeyStateString, FMacroKeyList);
    }
  }
  const std::int32_t state = KeyState(event);
  const std::int32_t extended = KeyExtended(event);
  const TMACROKEYHOOK& record = FMacroKeyList.emplace_back(KeyRecord(event, time));
  if (OnRecordKeyboardMacroKey) {
    OnRecordKeyboardMacroKey(1, static_cast<std::int32_t>(event.vkCode), state, extended, time,
                             record.MacroKeyString, record.MacroKeyStateString, FMacroKeyList);
  }
  blocked = true;
}

// Presses of a held key (auto-repeat) are not reported; each reported key
// carries the pause before it, which is also kept as a delay record.
void TxaHook::MacroKeyExHookProc(int /*code*/, std::uint32_t /*message*/, const LowLevelKeyboardEvent& event,
                                 bool& blocked) {
  if (FMacroKeyList.size() > kMacroExRecordLimit) {
    return;
  }
  blocked = true;
  const auto key = static_cast<std::uint8_t>(event.vkCode);
  const std::int32_t state = KeyState(event);
  if (state == 1 && FAllKeyState[key] != 0) {
    return;  // auto-repeat
  }
  FAllKeyState[key] = state == 1 ? 1 : 0;
  const double time = event.time;
  FTotalMacroTime =
      FLastMacroKey.time == 0 ? 0 : std::min(Elapsed(FLastMacroKey.time, event.time), kLongestDelayMs);
  FLastMacroKey = event;
  if (FTotalMacroTime > 0) {
    FMacroKeyList.push_back(
        {0, 0, static_cast<std::uint16_t>(FTotalMacroTime), 0, time, Decimal(FTotalMacroTime), u"ms"});
  }
  const std::int32_t extended = KeyExtended(event);
  const TMACROKEYHOOK& record = FMacroKeyList.emplace_back(KeyRecord(event, time));
  if (OnRecordKeyboardMacroKeyEx) {
    OnRecordKeyboardMacroKeyEx(1, static_cast<std::int32_t>(event.vkCode), state, extended, time,
                               FTotalMacroTime, record.MacroKeyString, record.MacroKeyStateString,
                               FMacroKeyList);
  }
}

}  // namespace monitor
