#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeDesktop.h"
#include "fakes/FakeInput.h"
#include "macros/Hook.h"

namespace monitor {
namespace {

constexpr std::uint32_t kMove = 0x200, kLeftDown = 0x201, kLeftUp = 0x202, kWheel = 0x20A, kExtraDown = 0x20B;
constexpr std::uint32_t kKeyDown = 0x100, kKeyUp = 0x101;
constexpr std::uint32_t kReleased = 0x80;

LowLevelMouseEvent At(std::uint32_t time, std::uint32_t mouseData = 0, std::uint32_t flags = 0) {
  return {-5, 700, mouseData, flags, time};
}

std::uint32_t WheelData(int delta) {
  return static_cast<std::uint32_t>(static_cast<std::uint16_t>(delta)) << 16;
}

LowLevelKeyboardEvent KeyAt(std::uint32_t vk, std::uint32_t time, bool released = false) {
  return {vk, 0x1E, released ? kReleased : 0u, time};
}

class HookTest : public ::testing::Test {
 protected:
  HookTest() : hook_(library_, keyboard_, shell_) {
    hook_.OnRecordMouseMacroKey = [this](std::int32_t type, TMouseButtons button, std::int32_t state,
                                         std::int32_t x, std::int32_t y, double, const std::u16string& text,
                                         const std::u16string& stateText, const TxaHook::MouseRecordList&) {
      reports_.push_back(std::to_string(type) + " " + std::to_string(button) + " " + std::to_string(state) +
                         " " + std::string(text.begin(), text.end()) + " " +
                         std::string(stateText.begin(), stateText.end()) + " @" + std::to_string(x) + "," +
                         std::to_string(y));
    };
  }

  fakes::FakeHookLibrary library_;
  fakes::FakeKeyboardState keyboard_;
  fakes::FakeShell shell_;
  TxaHook hook_;
  std::vector<std::string> reports_;
};

TEST_F(HookTest, AClickInMouseMacroModeReportsDelaysAndBothEdges) {
  hook_.RecordMouseMacro();
  library_.Mouse(kMove, At(1000));  // the first event sets the clock only
  library_.Mouse(kLeftDown, At(1250));
  library_.Mouse(kLeftUp, At(1330));
  EXPECT_EQ(reports_, (std::vector<std::string>{"0 0 0 250 ms @-5,700", "1 1 1 Mouse Click Down @-5,700",
                                                "0 0 0 80 ms @-5,700", "1 1 0 Mouse Click Up @-5,700"}));
  EXPECT_EQ(hook_.MouseMacroKeyList().size(), 4u);
  EXPECT_EQ(hook_.MouseMacroKeyList()[2].TimeValue, 80);
}

TEST_F(HookTest, WheelAndExtraButtonsInEachMouseMode) {
  hook_.RecordMouseMacro();
  library_.Mouse(kWheel, At(10, WheelData(-120)));
  library_.Mouse(kWheel, At(20, WheelData(120)));
  library_.Mouse(kExtraDown, At(30, 1u << 16));
  library_.Mouse(kExtraDown, At(40, 2u << 16));
  EXPECT_EQ(reports_[0], "1 6 1 Wheel up(Mouse) Down @-5,700");  // towards the user
  EXPECT_EQ(reports_[2], "1 7 1 Wheel Down(Mouse) Down @-5,700");
  EXPECT_EQ(reports_[4], "1 4 1 Backward(Mouse)  Down @-5,700");
  EXPECT_EQ(reports_[6], "1 5 1 Forward(Mouse) Down @-5,700");

  std::vector<std::pair<TMouseButtons, std::int16_t>> buttons;
  hook_.OnHookMouseAllButton = [&](TMouseButtons button, std::int32_t, std::int16_t extra, bool&) {
    buttons.emplace_back(button, extra);
  };
  hook_.StartHookMouse();
  library_.Mouse(kWheel, At(50, WheelData(-120)));
  library_.Mouse(kExtraDown, At(60, 2u << 16));
  EXPECT_EQ(buttons, (std::vector<std::pair<TMouseButtons, std::int16_t>>{{WHEELDOWN, -120}, {XCLICK5, 2}}));
}

TEST_F(HookTest, InjectedEventsLeaveNoRecord) {
  hook_.RecordMouseMacro();
  library_.Mouse(kLeftDown, At(100, 0, 1));
  library_.Mouse(kLeftUp, At(200, 0, 1));
  EXPECT_TRUE(reports_.empty());
  EXPECT_TRUE(hook_.MouseMacroKeyList().empty());
}

TEST_F(HookTest, AnEventEarlierThanTheLastRestartsTheDelay) {
  hook_.RecordMouseMacro();
  library_.Mouse(kMove, At(5000));
  library_.Mouse(kLeftDown, At(4000));  // the clock went back: nothing reported for it
  library_.Mouse(kLeftUp, At(4100));
  EXPECT_EQ(reports_, (std::vector<std::string>{"0 0 0 100 ms @-5,700", "1 1 0 Mouse Click Up @-5,700"}));
}

TEST_F(HookTest, StoppingHandsOverTheListAndKeepsIt) {
  hook_.RecordMouseMacro();
  library_.Mouse(kLeftDown, At(10));
  std::size_t handedOver = 0;
  hook_.OnStopRecordMouseMacroKey = [&](const TxaHook::MouseRecordList& list) { handedOver = list.size(); };
  hook_.StopRecordMouseMacro();
  EXPECT_EQ(handedOver, 1u);
  EXPECT_EQ(library_.mouse, nullptr);
  EXPECT_EQ(hook_.MouseMacroKeyList().size(), 1u);
  hook_.RecordMouseMacro();
  EXPECT_TRUE(hook_.MouseMacroKeyList().empty());
}

TEST_F(HookTest, ComboModeFiresForAKeyWithItsModifiers) {
  std::vector<std::string> combos;
  hook_.OnRecordKeyboardComboKey = [&](std::int32_t key1, std::int32_t, std::int32_t key2, std::int32_t,
                                       std::int32_t modifier, const std::u16string& text) {
    combos.push_back(std::to_string(key1) + "/" + std::to_string(key2) + "/" + std::to_string(modifier) +
                     " " + std::string(text.begin(), text.end()));
  };
  hook_.RecordKeyboardComboKey();
  keyboard_.held = {0x11, 0xA2};                                // Ctrl
  EXPECT_FALSE(library_.Key(kKeyDown, KeyAt(0xA2, 1000)));      // Ctrl alone: nothing, not blocked
  EXPECT_TRUE(library_.Key(kKeyDown, KeyAt(0x41, 1010)));       // A
  EXPECT_FALSE(library_.Key(kKeyUp, KeyAt(0x41, 1020, true)));  // releases are ignored
  EXPECT_EQ(combos, (std::vector<std::string>{"65/0/2 Ctrl+A"}));

  keyboard_.held = {0x11, 0x10};              // Ctrl and Shift
  library_.Key(kKeyDown, KeyAt(0x42, 1050));  // B within 100 ms: second key
  library_.Key(kKeyDown, KeyAt(0x43, 2000));  // C much later: a new combination
  EXPECT_EQ(combos[1], "65/66/6 Ctrl+Shift+A+B");
  EXPECT_EQ(combos[2], "67/0/6 Ctrl+Shift+C");
}

TEST_F(HookTest, MacroKeyExReportsAHeldKeyOnceWithItsDuration) {
  std::vector<std::string> keys;
  hook_.OnRecordKeyboardMacroKeyEx = [&](std::int32_t, std::int32_t key, std::int32_t state, std::int32_t,
                                         double, std::uint32_t totalTime, const std::u16string&,
                                         const std::u16string&, const TxaHook::MacroKeyList&) {
    keys.push_back(std::to_string(key) + (state ? " down " : " up ") + std::to_string(totalTime));
  };
  hook_.RecordKeyboardMacroKeyEx();
  library_.Key(kKeyDown, KeyAt(0x41, 10000));
  for (std::uint32_t t = 10500; t < 12000; t += 33) {
    EXPECT_TRUE(library_.Key(kKeyDown, KeyAt(0x41, t)));  // auto-repeat: blocked, not reported
  }
  library_.Key(kKeyUp, KeyAt(0x41, 12003, true));
  EXPECT_EQ(keys, (std::vector<std::string>{"65 down 0", "65 up 2003"}));
  ASSERT_EQ(hook_.KeyMacroKeyList().size(), 3u);  // press, delay, release
  EXPECT_EQ(hook_.KeyMacroKeyList()[1].nKeyValue, 2003);
}

TEST_F(HookTest, MacroKeyModeReportsPausesBetween10MsAnd2s) {
  std::vector<std::int32_t> types;
  hook_.OnRecordKeyboardMacroKey =
      [&](std::int32_t type, std::int32_t key, std::int32_t, std::int32_t, double, const std::u16string&,
          const std::u16string&, const TxaHook::MacroKeyList&) { types.push_back(type == 0 ? -key : key); };
  hook_.RecordKeyboardMacroKey();
  library_.Key(kKeyDown, KeyAt(0x41, 5000));      // 5 s since the mode's clock started: no delay
  library_.Key(kKeyUp, KeyAt(0x41, 5005, true));  // 5 ms: no delay
  library_.Key(kKeyDown, KeyAt(0x42, 5305));      // 300 ms
  library_.Key(kKeyUp, KeyAt(0x42, 7900, true));  // 2595 ms: no delay
  library_.Key(kKeyDown, KeyAt(0x43, 10));        // clock went back: no delay, no failure
  EXPECT_EQ(types, (std::vector<std::int32_t>{65, 65, -300, 66, 66, 67}));
}

TEST_F(HookTest, WatchedKeysAreReportedAndBlockedAsAsked) {
  std::vector<std::int32_t> all;
  std::vector<std::int32_t> watched;
  hook_.OnHookKeyboardAllKey = [&](std::int32_t key, std::int32_t, std::int32_t, bool&, std::uint32_t) {
    all.push_back(key);
  };
  hook_.OnHookKeyboardKey = [&](std::int32_t key, std::int32_t, std::int32_t, bool&, std::uint32_t) {
    watched.push_back(key);
  };
  hook_.AddKeyboardHookObject({0x41, 0, 0, 1});
  hook_.AddKeyboardHookObject({-1, 0, 0, 0});
  hook_.AddKeyboardHookObject({0x42, 0, 0, 1});  // after the end mark
  hook_.StartHookKeyboard();
  EXPECT_TRUE(library_.Key(kKeyDown, KeyAt(0x41, 1)));
  EXPECT_FALSE(library_.Key(kKeyDown, KeyAt(0x42, 2)));
  EXPECT_FALSE(library_.Key(kKeyDown, KeyAt(0x41, 3), 1));  // only hook code 0
  EXPECT_EQ(all, (std::vector<std::int32_t>{0x41, 0x42}));
  EXPECT_EQ(watched, (std::vector<std::int32_t>{0x41}));
}

TEST(HookLibrary, MissingLibraryIsToldOnceAndIncompleteOneSilently) {
  struct Case {
    InputHookLibrary::Loading loading;
    std::vector<std::u16string> errors;
  };
  for (const Case& c : {Case{InputHookLibrary::Loading::Missing, {u"xaHook.dll can not be found! | Error"}},
                        Case{InputHookLibrary::Loading::Incomplete, {}}}) {
    fakes::FakeHookLibrary library;
    library.loading = c.loading;
    fakes::FakeKeyboardState keyboard;
    fakes::FakeShell shell;
    TxaHook hook(library, keyboard, shell);
    EXPECT_FALSE(hook.DLLLoaded());
    EXPECT_EQ(shell.errors, c.errors);
    hook.RecordMouseMacro();
    EXPECT_EQ(library.mouse, nullptr);
    hook.StopRecordMouseMacro();
  }
}

TEST(HookLibrary, HooksAreRemovedBeforeTheLibraryIsUnloaded) {
  fakes::FakeHookLibrary library;
  fakes::FakeKeyboardState keyboard;
  fakes::FakeShell shell;
  {
    TxaHook hook(library, keyboard, shell);
    hook.RecordMouseMacro();
    hook.StartHookKeyboard();
  }
  EXPECT_FALSE(library.loaded);
  EXPECT_FALSE(library.unloadedWithHooks);
}

TEST(HookLibrary, ALostMouseHookIsPutBackWhileOneIsWanted) {
  fakes::FakeHookLibrary library;
  fakes::FakeKeyboardState keyboard;
  fakes::FakeShell shell;
  TxaHook hook(library, keyboard, shell);
  hook.ReinstallMouseHookIfLost();  // no mouse hook wanted
  EXPECT_EQ(library.mouseEnables, 0);

  keyboard.lastInput = 1000;
  hook.RecordMouseMacro();
  library.Mouse(kMove, At(2000));
  keyboard.lastInput = 2100;  // input the hook saw
  hook.ReinstallMouseHookIfLost();
  EXPECT_EQ(library.mouseEnables, 1);

  keyboard.lastInput = 9000;  // input the hook never saw: the system took it away
  hook.ReinstallMouseHookIfLost();
  EXPECT_EQ(library.mouseEnables, 2);
  ASSERT_NE(library.mouse, nullptr);
  hook.StopRecordMouseMacro();
  hook.ReinstallMouseHookIfLost();
  EXPECT_EQ(library.mouseEnables, 2);
}

}  // namespace
}  // namespace monitor
