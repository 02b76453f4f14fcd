#include "macros/RecordOverlay.h"

#include <chrono>
#include <string>

#include "profiles/CodeTables.h"
#include "profiles/TextCase.h"

namespace monitor {
namespace {

std::u16string Decimal(unsigned number) {
  const std::string text = std::to_string(number);
  return {text.begin(), text.end()};
}

// Half of an odd width rounds to the even neighbour.
int HalfToEven(int value) {
  const int half = value / 2;
  return value % 2 != 0 && half % 2 != 0 ? half + (value > 0 ? 1 : -1) : half;
}

}  // namespace

OverlayPlace OverlayPlaceOn(ScreenSize screen) {
  return {HalfToEven(screen.width - kOverlayWidth), screen.height - kOverlayHeight - 50};
}

std::u16string RecordLineText(std::uint16_t kind, std::uint8_t value, std::uint8_t index,
                              const TranslateText& translate) {
  switch (static_cast<ActionType>(kind)) {
    case ActionType::Delay:
      return translate(Decimal(value + 256u * index)) + translate(u"ms");
    case ActionType::MouseButton: {
      static constexpr std::u16string_view kButtons[] = {
          u"Mouse Click", u"Mouse Right Click", u"Mouse Middle Click", u"Backward(Mouse)", u"Forward(Mouse)"};
      std::u16string text;
      if (index >= 1 && index <= 5) {
        text = translate(kButtons[index - 1]);
      }
      if (value == 1) {
        text += translate(u"Down");
      } else if (value == 0) {
        text += translate(u"Up");
      }
      return text;
    }
    case ActionType::WheelNotch:
      if (index == kWheelTowardUserIndex) {
        return translate(u"Wheel Down(Mouse)");
      }
      return index == kWheelAwayFromUserIndex ? translate(u"Wheel up(Mouse)") : std::u16string();
    default:
      return {};
  }
}

TFrmRecord::TFrmRecord(OverlayWindow& window, Screen& screen, MainLoop& mainLoop, TranslateText translate)
    : window_(window),
      screen_(screen),
      translate_(std::move(translate)),
      Timer1(mainLoop, std::chrono::milliseconds(100)) {
  Timer1.OnTimer = [this] { Timer1Timer(); };
}

TFrmRecord::~TFrmRecord() {
  Timer1.SetEnabled(false);
  window_.Close();
}

void TFrmRecord::Show() {
  const OverlayPlace place = OverlayPlaceOn(screen_.PrimaryScreenSize());
  window_.Show(place.left, place.top, translate_(u"Recording..."));
  Timer1.SetEnabled(true);
}

void TFrmRecord::AddRecordLine(std::uint16_t Kind, std::uint8_t Value, std::uint8_t Index) {
  window_.AddLine(RecordLineText(Kind, Value, Index, translate_));
}

// Whatever took the foreground, the overlay comes back on top.
void TFrmRecord::Timer1Timer() {
  if (AsciiUppercase(screen_.ForegroundWindowTitle()) != AsciiUppercase(kOverlayCaption)) {
    window_.BringToTop();
  }
}

}  // namespace monitor
