// TxaHook: observes the keyboard and the mouse system-wide through the hook
// library and turns low-level events into component events. It records
// mouse macros (the mode the monitor uses), records keyboard macros in two
// variants, captures a single key or a key combination, and watches or
// blocks given keys and mouse buttons. All of it runs on the thread that
// enabled the hooks.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/InputHooks.h"
#include "platform/Shell.h"

namespace monitor {

enum TMouseButtons : std::uint8_t {
  BUTTON_NONE,
  LCLICK,
  RCLICK,
  MCLICK,
  XCLICK4,
  XCLICK5,
  WHEELUP,
  WHEELDOWN,
  BUTTONX1,
  BUTTONX2,
  BUTTONX3,
};

// Value v stands for the mouse message 0x200 + v.
enum TMouseButtonStates : std::uint8_t {
  MOUSEMOVE,
  LBUTTONDOWN,
  LBUTTONUP,
  LBUTTONDBLCLK,
  RBUTTONDOWN,
  RBUTTONUP,
  RBUTTONDBLCLK,
  MBUTTONDOWN,
  MBUTTONUP,
  MBUTTONDBLCLK,
  MOUSEWHEEL,
  XBUTTONDOWN,
  XBUTTONUP,
  XBUTTONDBLCLK,
  MOUSEHWHEEL,
  OTHERFUNCTION,
};
using TMouseButtonStateSet = std::uint16_t;  // bit v for TMouseButtonStates v
enum TMouseStatesToHook : std::uint8_t { HOOK_DOWN, HOOK_UP };

struct TCOMBOKEY {
  std::uint16_t nKeyValue1 = 0;
  std::uint16_t nKeyValue1Extended = 0;
  std::uint16_t nKeyValue2 = 0;
  std::uint16_t nKeyValue2Extended = 0;
  std::uint16_t nModifier = 0;  // 1 Alt, 2 Ctrl, 4 Shift, 8 Win
};

// nKeyType 0 is a delay, 1 a key or button; nKeyState 1 down, 0 up.
struct TMACROKEYHOOK {
  std::uint16_t nKeyType = 0;
  std::uint16_t nKeyState = 0;
  std::uint16_t nKeyValue = 0;
  std::uint16_t nKeyValueExtended = 0;
  double Time = 0;
  std::u16string MacroKeyString;
  std::u16string MacroKeyStateString;
};

// The pointer position is kept whole: positions left of or above the
// primary screen are negative.
struct TMOUSEMACROKEY {
  std::uint16_t nKeyType = 0;
  std::uint16_t nKeyState = 0;
  TMouseButtons MouseButton = BUTTON_NONE;
  std::int32_t X = 0;
  std::int32_t Y = 0;
  std::uint16_t TimeValue = 0;
  double Time = 0;
  std::u16string MacroKeyString;
  std::u16string MacroKeyStateString;
};

struct TKeyBoardHookDetail {
  std::int32_t KeyboardVKKey = 0;  // -1 ends the list
  std::int32_t KeyboardSCANKey = 0;
  std::int32_t KeyExtended = 0;
  std::int32_t block = 0;  // 1: swallow the key
};

struct TMouseHookDetail {
  TMouseButtons MouseButton = BUTTON_NONE;
  TMouseButtonStateSet MouseStateSet = 0;
  TMouseButtons ModifiedFunction = BUTTON_NONE;
  TMouseStatesToHook MouseStateToHook = HOOK_DOWN;
};

// The description of a mouse button; empty for one without.
std::u16string MouseButtonDescription(TMouseButtons button);

class TxaHook {
 public:
  using MacroKeyList = std::vector<TMACROKEYHOOK>;
  using MouseRecordList = std::vector<TMOUSEMACROKEY>;

  using TOnRecordKeyboardSingleKey =
      std::function<void(std::int32_t Key, std::uint32_t ScanKey, std::int32_t AState,
                         std::int32_t AKeyExtended, const std::u16string& SingleKeyString, bool& ABlocked)>;
  using TOnRecordKeyboardComboKey = std::function<void(
      std::int32_t Key1, std::int32_t Key1Extended, std::int32_t Key2, std::int32_t Key2Extended,
      std::int32_t Modifier, const std::u16string& ComboKeyString)>;
  using TOnRecordKeyboardMacroKey =
      std::function<void(std::int32_t MacroType, std::int32_t Key1, std::int32_t AState,
                         std::int32_t Extended, double Time, const std::u16string& MacroKeyString,
                         const std::u16string& MacroKeyStateString, const MacroKeyList& KeyList)>;
  using TOnRecordKeyboardMacroKeyEx = std::function<void(
      std::int32_t MacroType, std::int32_t Key1, std::int32_t AState, std::int32_t Extended, double Time,
      std::uint32_t TotalTime, const std::u16string& MacroKeyString,
      const std::u16string& MacroKeyStateString, const MacroKeyList& KeyList)>;
  using TOnRecordMouseMacroKey =
      std::function<void(std::int32_t MacroType, TMouseButtons AButton, std::int32_t AState, std::int32_t X,
                         std::int32_t Y, double Time, const std::u16string& MacroKeyString,
                         const std::u16string& MacroKeyStateString, const MouseRecordList& MouseRecordList)>;
  using TOnStopRecordKeyboardMacroKey = std::function<void(const MacroKeyList& KeyoboardRecordList)>;
  using TOnStopRecordMouseMacroKey = std::function<void(const MouseRecordList& MouseRecordList)>;
  using TOnHookKeyboardKey =
      std::function<void(std::int32_t Key, std::int32_t AState, std::int32_t AKeyExtended, bool& ABlocked,
                         std::uint32_t AScanKey)>;
  using TOnHookMouseButton =
      std::function<void(TMouseButtons AxaButton, std::int32_t AState, bool& ABlocked)>;
  using TOnHookAllMouseButton = std::function<void(TMouseButtons AxaButton, std::int32_t AState,
                                                   std::int16_t AExValue, bool& ABlocked)>;
  using TOnHookMouseMove = std::function<void(std::int32_t X, std::int32_t Y, double Time)>;

  // Loads the hook library; when it cannot be found the user is told once.
  TxaHook(InputHookLibrary& library, KeyboardState& keyboard, Shell& shell);
  // Removes its hooks and unloads the library.
  ~TxaHook();
  TxaHook(const TxaHook&) = delete;
  TxaHook& operator=(const TxaHook&) = delete;

  [[nodiscard]] bool DLLLoaded() const { return FDLLLoaded; }

  TOnRecordKeyboardSingleKey OnRecordKeyboardSingleKey;
  TOnRecordKeyboardComboKey OnRecordKeyboardComboKey;
  TOnRecordKeyboardMacroKey OnRecordKeyboardMacroKey;
  TOnRecordKeyboardMacroKeyEx OnRecordKeyboardMacroKeyEx;
  TOnStopRecordKeyboardMacroKey OnStopRecordKeyboardMacroKey;
  TOnStopRecordMouseMacroKey OnStopRecordMouseMacroKey;
  TOnRecordMouseMacroKey OnRecordMouseMacroKey;
  TOnHookKeyboardKey OnHookKeyboardKey;
  TOnHookMouseButton OnHookMouseButton;
  TOnHookKeyboardKey OnHookKeyboardAllKey;
  TOnHookAllMouseButton OnHookMouseAllButton;
  TOnHookMouseMove OnHookMouseMove;

  void StartHookKeyboard();
  void StopHookKeyboard();
  void StartHookMouse();
  void StopHookMouse();
  void AddKeyboardHookObject(const TKeyBoardHookDetail& AObject);
  void RemoveAllKeyboardHookObject();
  void AddMouseHookObject(const TMouseHookDetail& AObject);
  void RemoveAllMouseHookObject();
  void RecordKeyboardSingleKey();
  void StopRecordKeyboardSingleKey();
  void RecordKeyboardComboKey();
  void StopRecordKeyboardComboKey();
  void RecordKeyboardMacroKey();
  void StopRecordKeyboardMacroKey();
  void RecordKeyboardMacroKeyEx();
  void StopRecordKeyboardMacroKeyEx();
  void RecordMouseMacro();
  void StopRecordMouseMacro();

  // The mouse hook is put in again when the system took it away (it does
  // so silently to a hook that once answered too slowly): there was input
  // since the hook last saw an event, yet it saw none.
  void ReinstallMouseHookIfLost();

  // The hook procedures, called with each low-level event.
  void MouseMacroHookProc(int code, std::uint32_t message, const LowLevelMouseEvent& event, bool& blocked);
  void MouseHookProc(int code, std::uint32_t message, const LowLevelMouseEvent& event, bool& blocked);
  void KeyboardHookProc(int code, std::uint32_t message, const LowLevelKeyboardEvent& event, bool& blocked);
  void SingleKeyHookProc(int code, std::uint32_t message, const LowLevelKeyboardEvent& event, bool& blocked);
  void ComboKeyHookProc(int code, std::uint32_t message, const LowLevelKeyboardEvent& event, bool& blocked);
  void MacroKeyHookProc(int code, std::uint32_t message, const LowLevelKeyboardEvent& event, bool& blocked);
  void MacroKeyExHookProc(int code, std::uint32_t message, const LowLevelKeyboardEvent& event, bool& blocked);

  [[nodiscard]] const MouseRecordList& MouseMacroKeyList() const { return FMouseMacroKeyList; }
  [[nodiscard]] const MacroKeyList& KeyMacroKeyList() const { return FMacroKeyList; }

 private:
  using MouseProc = void (TxaHook::*)(int, std::uint32_t, const LowLevelMouseEvent&, bool&);
  using KeyboardProc = void (TxaHook::*)(int, std::uint32_t, const LowLevelKeyboardEvent&, bool&);
  void EnableMouse(MouseProc proc);
  void EnableKeyboard(KeyboardProc proc);
  void DisableMouse();
  void DisableKeyboard();

  InputHookLibrary& library_;
  KeyboardState& keyboard_;
  bool FDLLLoaded = false;
  MouseProc mouseProc_ = nullptr;  // the mode whose mouse hook is enabled
  std::uint32_t lastMouseEventSeen_ = 0;

  TCOMBOKEY FComboKeyInfo;
  std::u16string FComboKeyString;
  MacroKeyList FMacroKeyList;
  MouseRecordList FMouseMacroKeyList;
  std::vector<TKeyBoardHookDetail> FKeyboardHookObjectList;
  std::vector<TMouseHookDetail> FMouseHookObjectList;
  std::uint32_t FLastTimeKeyboardMacro = 0;
  std::uint32_t FLastTimeKeyboardCombo = 0;
  std::uint32_t FLastTimeMouseMacro = 0;
  std::uint32_t FTotalMacroTime = 0;
  LowLevelKeyboardEvent FLastMacroKey;
  std::array<std::uint8_t, 256> FAllKeyState{};
};

}  // namespace monitor
