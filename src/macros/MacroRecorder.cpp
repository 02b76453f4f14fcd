#include "macros/MacroRecorder.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <string>

#include "profiles/CodeTables.h"
#include "profiles/FixedText.h"
#include "profiles/RecordImage.h"

namespace monitor {
namespace {

constexpr int kButtonsThatTakeTheRecording = 10;

// The number a delay report carries; 0 when it is not one.
std::int32_t DelayOf(const std::u16string& text) {
  std::string digits;
  for (const char16_t unit : text) {
    if (unit > 0x7F) {
      return 0;
    }
    digits += static_cast<char>(unit);
  }
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return error == std::errc() && end == digits.data() + digits.size() ? value : 0;
}

TMACROKEY ButtonAction(TMouseButtons button, std::int32_t state) {
  const auto keyState = static_cast<std::uint16_t>(state == 1 ? KeyState::Down : KeyState::Up);
  const auto mouse = [&](MouseButtonCode code) {
    return TMACROKEY{static_cast<std::uint16_t>(ActionType::MouseButton), keyState, code.Bit, code.Index};
  };
  const auto wheel = [](std::uint8_t value, std::uint8_t index) {
    return TMACROKEY{static_cast<std::uint16_t>(ActionType::WheelNotch), 0, value, index};
  };
  switch (button) {
    case LCLICK:
      return mouse(kMouseLeft);
    case RCLICK:
      return mouse(kMouseRight);
    case MCLICK:
      return mouse(kMouseMiddle);
    case XCLICK4:
      return mouse(kMouseBack);
    case XCLICK5:
      return mouse(kMouseForward);
    case WHEELUP:  // towards the user
      return wheel(kWheelTowardUserValue, kWheelTowardUserIndex);
    case WHEELDOWN:
      return wheel(kWheelAwayFromUserValue, kWheelAwayFromUserIndex);
    default:
      return {};
  }
}

}  // namespace

TMacroRecorder::TMacroRecorder(RecorderServices services)
    : services_(std::move(services)), hookWatch_(services_.mainLoop, std::chrono::milliseconds(250)) {
  hookWatch_.OnTimer = [this] { services_.xaHook1.ReinstallMouseHookIfLost(); };
}

void TMacroRecorder::ToggleRecordMacro(std::uint8_t KeyIndex) {
  if (IsRecording) {
    Stop(KeyIndex);
  } else {
    Start();
  }
}

void TMacroRecorder::Start() {
  std::ranges::fill(RecordBytes(FMacroInfo), std::uint8_t{0});
  FMacroInfo.MacroListCount = 0;
  FMacroInfo.nAutoAddDelay = 1;
  MouseActionSeen = false;
  services_.xaHook1.RecordMouseMacro();
  hookWatch_.SetEnabled(true);
  IsRecording = true;
  services_.debug.Write(u"show record window");
  overlay_ = services_.createOverlay();
  overlay_->FCreateByOther = true;
  overlay_->Show();
}

void TMacroRecorder::Stop(std::uint8_t keyIndex) {
  services_.debug.Write(u"CLOSE record window");
  overlay_.reset();
  hookWatch_.SetEnabled(false);
  services_.xaHook1.StopRecordMouseMacro();
  IsRecording = false;
  if (FMacroInfo.MacroListCount == 0) {
    return;
  }
  // The upload below lets pending messages run; a recording button pressed
  // then starts a new recording and clears the buffer. What is stored and
  // announced is this recording, whatever happens to the buffer meanwhile.
  auto finished = std::make_unique<TMACROKEYINFO>(FMacroInfo);
  TDM& dm = services_.DM;
  dm.LoadCurrentProfileInfoFromRegistry();
  WriteFixedText(finished->szMacroName, services_.translate(u"User Recorded"));
  finished->nMacroIndex = 0;

  TMOUSECONFIGINFO& config = dm.FCurrentProfileInfo.ConfigInfo;
  if (keyIndex < kButtonCapacity) {
    config.ButtonFuncInfo[keyIndex].MacroKeyInfo = *finished;
  }
  for (int i = 0; i < kButtonsThatTakeTheRecording; ++i) {
    TBUTTONFUNCINFO& button = config.ButtonFuncInfo[i];
    if (button.FunctionIndex == kFunctionPlayMacro ||
        (button.FunctionIndex == kFunctionDeviceMacro && button.MacroKeyInfo.nMacroIndex == 0)) {
      button.MacroKeyInfo = *finished;
      button.FunctionKind = kFunctionKindMacro;
      button.FunctionID = 0;
    }
  }
  dm.FCurrentProfileInfo.MacroKeyInfoList.MacroInfos[0] = *finished;

  dm.SaveBackToCurrentProfileInfo();
  dm.SaveCurrentProfileInfoToRegistry();
  services_.uploadProfileToDevice(dm.FProfileIndex);
  dm.SaveBackRecordMacroInfoToRegistry(*finished);
  services_.announceRecordSaved(dm.FProfileIndex);
}

void TMacroRecorder::StoreAction(const TMACROKEY& action) {
  FMacroInfo.MacroList[FMacroInfo.MacroListCount] = action;
  if (overlay_) {
    // A button's line shows its state; delays and wheel turns show their values.
    const bool button = action.nKeyType == static_cast<std::uint16_t>(ActionType::MouseButton);
    overlay_->AddRecordLine(
        action.nKeyType, button ? static_cast<std::uint8_t>(action.nKeyState) : action.VALUE1, action.VALUE2);
  }
}

// Pauses are collected from one captured event to the next and stored, as
// one delay, in front of the next button or wheel action. A pause summing
// to more than 8 s starts collecting afresh.
void TMacroRecorder::xaHook1RecordMouseMacroKey(std::int32_t MacroType, TMouseButtons AButton,
                                                std::int32_t AState, const std::u16string& MacroKeyString) {
  std::int32_t& count = FMacroInfo.MacroListCount;
  if (count >= kMaxRecordedActions || count < 0) {
    return;
  }
  if (MacroType == 1) {
    MouseActionSeen = true;
    if (PendingDelay > 0 && count > 0) {
      StoreAction({static_cast<std::uint16_t>(ActionType::Delay), 0, static_cast<std::uint8_t>(PendingDelay),
                   static_cast<std::uint8_t>(PendingDelay >> 8)});
      ++count;
    }
    PendingDelay = 0;
    // The 128th place takes the action without counting it.
    StoreAction(ButtonAction(AButton, AState));
    if (count < kMaxRecordedActions) {
      ++count;
    }
    return;
  }
  const auto lastType = count > 0 ? FMacroInfo.MacroList[count - 1].nKeyType : 0;
  if (MouseActionSeen && count >= 1 &&
      (lastType == static_cast<std::uint16_t>(ActionType::MouseButton) ||
       lastType == static_cast<std::uint16_t>(ActionType::WheelNotch))) {
    const std::int64_t sum = std::int64_t{PendingDelay} + DelayOf(MacroKeyString);
    PendingDelay = sum > kLongestRecordedPauseMs ? 0 : static_cast<std::int32_t>(sum);
  }
}

}  // namespace monitor
