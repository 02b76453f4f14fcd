#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/RecorderWorld.h"
#include "profiles/CodeTables.h"
#include "profiles/FixedText.h"

namespace monitor {
namespace {

constexpr std::uint32_t kMove = 0x200, kLeftDown = 0x201, kLeftUp = 0x202, kRightDown = 0x204, kWheel = 0x20A;

using Bytes = std::vector<std::uint8_t>;

class MacroRecorderTest : public ::testing::Test, protected RecorderWorld {
 protected:
  void MouseAt(std::uint32_t message, std::uint32_t time, std::uint32_t mouseData = 0) {
    library.Mouse(message, {10, 10, mouseData, 0, time});
  }
  void ClickAt(std::uint32_t time, std::uint32_t held = 50) {
    MouseAt(kLeftDown, time);
    MouseAt(kLeftUp, time + held);
  }
  std::unique_ptr<TMouseProfileInfo> StoredProfile() {
    return profiles.StoredRecord<TMouseProfileInfo>(u"ZV3Profile1.pfd");
  }
  static std::string Actions(const TMACROKEYINFO& macro) {
    std::string text;
    for (int i = 0; i < macro.MacroListCount; ++i) {
      const TMACROKEY& a = macro.MacroList[i];
      text += std::to_string(a.nKeyType) + ":" + std::to_string(a.nKeyState) + ":" +
              std::to_string(a.VALUE1) + ":" + std::to_string(a.VALUE2) + " ";
    }
    return text;
  }
};

TEST_F(MacroRecorderTest, OneClickIsStoredUploadedAndAnnounced) {
  recorder.ToggleRecordMacro(7);
  EXPECT_TRUE(recorder.IsRecording);
  EXPECT_TRUE(overlay.shown);
  EXPECT_EQ(overlay.place, (std::pair<int, int>{454, 874}));
  EXPECT_EQ(overlay.title, u"Recording...");
  MouseAt(kMove, 900);
  ClickAt(1000, 120);
  MouseAt(kMove, 1500);
  recorder.ToggleRecordMacro(7);

  EXPECT_FALSE(recorder.IsRecording);
  EXPECT_FALSE(overlay.shown);
  EXPECT_EQ(library.mouse, nullptr);
  EXPECT_EQ(Actions(recorder.FMacroInfo), "1:1:1:1 6:0:120:0 1:0:1:1 ");
  EXPECT_EQ(overlay.lines, (std::vector<std::u16string>{u"Mouse ClickDown", u"120ms", u"Mouse ClickUp"}));

  // Stored in the pressed button, as the first macro, by itself; uploaded and announced.
  const auto stored = StoredProfile();
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(Actions(stored->ConfigInfo.ButtonFuncInfo[7].MacroKeyInfo), "1:1:1:1 6:0:120:0 1:0:1:1 ");
  EXPECT_EQ(stored->ConfigInfo.ButtonFuncInfo[7].FunctionIndex, 32);  // keeps its function
  EXPECT_EQ(ReadFixedText(stored->MacroKeyInfoList.MacroInfos[0].szMacroName), u"User Recorded");
  EXPECT_EQ(stored->MacroKeyInfoList.MacroInfos[0].nAutoAddDelay, 1);
  EXPECT_EQ(stored->MacroKeyInfoList.nMacroInfoCount, 1);
  EXPECT_EQ(profiles.StoredRecord<TMACROKEYINFO>(u"RecordRPROFILE.pfd")->MacroListCount, 3);
  EXPECT_EQ(uploads, std::vector<std::int32_t>{0});
  EXPECT_EQ(announced, std::vector<std::int32_t>{0});
  EXPECT_EQ(profiles.debug.lines,
            (std::vector<std::u16string>{u"show record window", u"CLOSE record window"}));
}

TEST_F(MacroRecorderTest, NothingRecordedStoresNothing) {
  recorder.ToggleRecordMacro(7);
  MouseAt(kMove, 100);
  MouseAt(kMove, 200);
  recorder.ToggleRecordMacro(7);
  EXPECT_EQ(StoredProfile(), nullptr);
  EXPECT_TRUE(uploads.empty());
  EXPECT_TRUE(announced.empty());
}

TEST_F(MacroRecorderTest, LongPausesAreCollectedAfresh) {
  struct Case {
    const char* label;
    std::vector<std::uint32_t> moves;  // pointer moves between the clicks
    std::string actions;
  };
  const Case cases[] = {
      // One report of 9000 ms passes 8000: the pause is dropped.
      {"still for 9 s", {}, "1:1:1:1 1:0:1:1 1:1:1:1 1:0:1:1 "},
      // Moving, the sum passes 8000 at 9100 and collects the last 900 ms again.
      {"moving for 9 s",
       {1100, 2100, 3100, 4100, 5100, 6100, 7100, 8100, 9100},
       "1:1:1:1 1:0:1:1 6:0:132:3 1:1:1:1 1:0:1:1 "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    recorder.ToggleRecordMacro(7);
    MouseAt(kLeftDown, 1000);
    MouseAt(kLeftUp, 1000);
    for (const std::uint32_t time : c.moves) {
      MouseAt(kMove, time);
    }
    ClickAt(10000, 0);
    EXPECT_EQ(Actions(recorder.FMacroInfo), c.actions);
    recorder.ToggleRecordMacro(7);
  }
}

TEST_F(MacroRecorderTest, TheBufferStopsAt127Actions) {
  recorder.ToggleRecordMacro(7);
  for (std::uint32_t i = 0; i < 200; ++i) {
    ClickAt(1000 + i * 100, 0);  // no pause inside a click, 100 ms between clicks
  }
  EXPECT_EQ(recorder.FMacroInfo.MacroListCount, 127);
  EXPECT_EQ(overlay.lines.size(), 127u);
  recorder.ToggleRecordMacro(7);
  EXPECT_EQ(StoredProfile()->MacroKeyInfoList.MacroInfos[0].MacroListCount, 127);
}

TEST_F(MacroRecorderTest, AnActionAfterTheLastDelayTakesThe128thPlaceUncounted) {
  recorder.ToggleRecordMacro(7);
  for (int i = 0; i < 126; ++i) {
    recorder.xaHook1RecordMouseMacroKey(1, WHEELDOWN, 0, u"Wheel Down(Mouse)");
  }
  recorder.xaHook1RecordMouseMacroKey(0, BUTTON_NONE, 0, u"100");
  recorder.xaHook1RecordMouseMacroKey(1, LCLICK, 1, u"Mouse Click");
  EXPECT_EQ(recorder.FMacroInfo.MacroListCount, 127);
  EXPECT_EQ(recorder.FMacroInfo.MacroList[126].nKeyType, 6);
  EXPECT_EQ(recorder.FMacroInfo.MacroList[127].nKeyType, 1);
  EXPECT_EQ(overlay.lines.size(), 128u);  // shown, though not counted
  recorder.xaHook1RecordMouseMacroKey(1, LCLICK, 0, u"Mouse Click");
  EXPECT_EQ(overlay.lines.size(), 128u);
}

TEST_F(MacroRecorderTest, TheRecordingGoesToTheButtonsThatPlayIt) {
  TMOUSECONFIGINFO& config = dm->FCurrentProfileInfo.ConfigInfo;
  config.ButtonFuncInfo[3].FunctionIndex = kFunctionPlayMacro;
  config.ButtonFuncInfo[12].FunctionIndex = kFunctionPlayMacro;
  config.ButtonFuncInfo[4].FunctionIndex = kFunctionDeviceMacro;
  config.ButtonFuncInfo[4].MacroKeyInfo.nMacroIndex = 0;
  config.ButtonFuncInfo[5].FunctionIndex = kFunctionDeviceMacro;
  config.ButtonFuncInfo[5].MacroKeyInfo.nMacroIndex = 2;
  dm->SaveCurrentProfileInfoToRegistry();  // the stop reloads the stored profile

  recorder.ToggleRecordMacro(1);
  MouseAt(kRightDown, 100);
  MouseAt(kWheel, 200, 0xFF880000u);  // -120: towards the user
  recorder.ToggleRecordMacro(9);

  const auto stored = StoredProfile();
  const std::string recorded = "1:1:2:2 6:0:100:0 3:0:1:6 ";
  for (const int button : {3, 4, 9}) {
    SCOPED_TRACE(button);
    EXPECT_EQ(Actions(stored->ConfigInfo.ButtonFuncInfo[button].MacroKeyInfo), recorded);
  }
  EXPECT_EQ(stored->ConfigInfo.ButtonFuncInfo[3].FunctionKind, kFunctionKindMacro);
  EXPECT_EQ(stored->ConfigInfo.ButtonFuncInfo[3].FunctionID, 0u);
  EXPECT_EQ(stored->ConfigInfo.ButtonFuncInfo[9].FunctionIndex, 0);  // stopped at 9, whatever its function
  EXPECT_EQ(stored->ConfigInfo.ButtonFuncInfo[5].MacroKeyInfo.MacroListCount, 0);
  EXPECT_EQ(stored->ConfigInfo.ButtonFuncInfo[12].MacroKeyInfo.MacroListCount, 0);  // beyond the first ten
  EXPECT_EQ(stored->ConfigInfo.ButtonFuncInfo[1].MacroKeyInfo.MacroListCount, 0);   // the starting press
}

TEST_F(MacroRecorderTest, APressDuringTheUploadCannotEmptyTheFinishedRecording) {
  recorder.ToggleRecordMacro(7);
  ClickAt(100);
  // The upload lets pending messages run: a recording button pressed then
  // starts the next recording.
  onUpload = [this] {
    onUpload = nullptr;
    recorder.ToggleRecordMacro(7);
  };
  recorder.ToggleRecordMacro(7);
  EXPECT_TRUE(recorder.IsRecording);
  EXPECT_EQ(recorder.FMacroInfo.MacroListCount, 0);
  EXPECT_EQ(profiles.StoredRecord<TMACROKEYINFO>(u"RecordRPROFILE.pfd")->MacroListCount, 3);
  EXPECT_EQ(announced.size(), 1u);
}

TEST_F(MacroRecorderTest, TheOverlayIsKeptOnTopWhileRecording) {
  recorder.ToggleRecordMacro(7);
  loop.AdvanceTime(std::chrono::milliseconds(350));
  EXPECT_EQ(overlay.broughtToTop, 3);
  screen.foregroundTitle = u"frmrecord";
  loop.AdvanceTime(std::chrono::milliseconds(300));
  EXPECT_EQ(overlay.broughtToTop, 3);
  recorder.ToggleRecordMacro(7);
  screen.foregroundTitle = u"Notepad";
  loop.AdvanceTime(std::chrono::milliseconds(1000));
  EXPECT_EQ(overlay.broughtToTop, 3);
  EXPECT_EQ(loop.RunningTimers(), 0u);
}

TEST(RecordOverlay, PlaceAndLines) {
  struct Place {
    ScreenSize screen;
    OverlayPlace place;
  };
  for (const Place& p : {Place{{1280, 1024}, {454, 874}}, Place{{1921, 1080}, {774, 930}},
                         Place{{1923, 1080}, {776, 930}}, Place{{300, 200}, {-36, 50}}}) {
    const OverlayPlace place = OverlayPlaceOn(p.screen);
    EXPECT_EQ(place.left, p.place.left) << p.screen.width;
    EXPECT_EQ(place.top, p.place.top);
  }
  const TranslateText chinese = [](std::u16string_view text) {
    return text == u"ms" ? u"毫秒" : text == u"Wheel Down(Mouse)" ? u"向下滚动" : std::u16string(text);
  };
  EXPECT_EQ(RecordLineText(6, 0x5E, 0x01, chinese), u"350毫秒");
  EXPECT_EQ(RecordLineText(1, 1, 1, chinese), u"Mouse ClickDown");
  EXPECT_EQ(RecordLineText(1, 0, 4, chinese), u"Backward(Mouse)Up");
  EXPECT_EQ(RecordLineText(3, 1, 6, chinese), u"向下滚动");
  EXPECT_EQ(RecordLineText(3, 255, 7, chinese), u"Wheel up(Mouse)");
}

}  // namespace
}  // namespace monitor
