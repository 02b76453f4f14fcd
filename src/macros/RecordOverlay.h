// TFrmRecord: the "Recording..." overlay's logic: where it sits, the line
// it shows for each captured action, and keeping it on top while it lives.
#pragma once

#include <cstdint>
#include <string>

#include "i18n/TranslateText.h"
#include "platform/MainLoop.h"
#include "platform/OverlayWindow.h"
#include "platform/Timer.h"

namespace monitor {

inline constexpr int kOverlayWidth = 372;
inline constexpr int kOverlayHeight = 100;
inline constexpr std::u16string_view kOverlayCaption = u"FrmRecord";

// The overlay's place: centred, 50 pixels above the bottom of the screen.
struct OverlayPlace {
  int left;
  int top;
};
OverlayPlace OverlayPlaceOn(ScreenSize screen);

// The text of one captured action: a delay (kind 6, value and index its low
// and high byte), a button (kind 1, value the state, index the button) or
// a wheel turn (kind 3, index 6 or 7). Each piece is translated.
std::u16string RecordLineText(std::uint16_t kind, std::uint8_t value, std::uint8_t index,
                              const TranslateText& translate);

class TFrmRecord {
 public:
  TFrmRecord(OverlayWindow& window, Screen& screen, MainLoop& mainLoop, TranslateText translate);
  ~TFrmRecord();
  TFrmRecord(const TFrmRecord&) = delete;
  TFrmRecord& operator=(const TFrmRecord&) = delete;

  bool FCreateByOther = false;

  // Places and shows the window and starts keeping it on top.
  void Show();
  void AddRecordLine(std::uint16_t Kind, std::uint8_t Value, std::uint8_t Index);
  void Timer1Timer();

 private:
  OverlayWindow& window_;
  Screen& screen_;
  TranslateText translate_;
  TTimer Timer1;
};

}  // namespace monitor
