#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeEnvironment.h"
#include "fakes/FakeInput.h"
#include "macros/MacroPlayer.h"

namespace monitor {
namespace {

using std::chrono::milliseconds;
using Events = std::vector<std::string>;

TMACROKEY Act(std::uint16_t type, std::uint16_t state, std::uint8_t value1, std::uint8_t value2) {
  return {type, state, value1, value2};
}

class MacroPlayerTest : public ::testing::Test {
 protected:
  void Play(std::vector<TMACROKEY> actions, std::int32_t count = -1) {
    auto& macro = profile_->MacroKeyInfoList.MacroInfos[0];
    std::copy(actions.begin(), actions.end(), macro.MacroList);
    macro.MacroListCount = count >= 0 ? count : static_cast<std::int32_t>(actions.size());
    player_.PlayMacro(*profile_);
  }

  std::unique_ptr<TMouseProfileInfo> profile_ = std::make_unique<TMouseProfileInfo>();
  fakes::RecordingInjector injector_;
  fakes::FakeClock clock_;
  fakes::FakeDebugOutput debug_;
  TMacroPlayer player_{injector_, clock_, debug_};
};

TEST_F(MacroPlayerTest, EachActionInjectsItsEvent) {
  Play({Act(6, 0, 0x2C, 0x01),  // 300 ms
        Act(1, 1, 1, 1), Act(1, 0, 1, 1), Act(1, 1, 2, 2), Act(1, 0, 2, 2), Act(1, 1, 4, 3), Act(1, 0, 4, 3),
        Act(1, 1, 8, 4), Act(1, 0, 8, 4), Act(1, 1, 16, 5), Act(1, 0, 16, 5), Act(3, 0, 99, 6),
        Act(3, 1, 255, 7), Act(4, 1, 0x41, 1), Act(4, 0, 0x41, 0)});
  EXPECT_EQ(injector_.events,
            (Events{"button 0 down", "button 0 up", "button 1 down", "button 1 up", "button 2 down",
                    "button 2 up", "key 166 down ext", "key 166 up ext", "key 167 down ext", "key 167 up ext",
                    "wheel -120", "wheel 120", "key 65 down", "key 65 up"}));
  EXPECT_EQ(clock_.waited, std::vector<milliseconds>{milliseconds(300)});
  EXPECT_TRUE(clock_.slept.empty());  // delays wait precisely, not at the coarse sleep granularity
  EXPECT_FALSE(player_.IsPlayingMacro);
  EXPECT_EQ(debug_.lines, std::vector<std::u16string>{u"play macro"});
}

TEST_F(MacroPlayerTest, ActionsWithoutAnEventAreSkipped) {
  Play({Act(4, 2, 0x41, 0),  // key state 2
        Act(1, 1, 1, 6),     // button index 6
        Act(3, 0, 1, 5),     // wheel index 5
        Act(2, 0, 10, 10),   // movement is not played
        Act(7, 0, 3, 0),     // nor a loop
        Act(4, 1, 0x42, 0), Act(4, 0, 0x42, 0)});
  EXPECT_EQ(injector_.events, (Events{"key 66 down", "key 66 up"}));
  EXPECT_TRUE(clock_.waited.empty());
}

TEST_F(MacroPlayerTest, CountsBeyondTheRecordAndNoneAtAll) {
  Play({Act(4, 1, 0x41, 0)}, 0);
  EXPECT_TRUE(injector_.events.empty());
  EXPECT_FALSE(player_.IsPlayingMacro);

  auto& macro = profile_->MacroKeyInfoList.MacroInfos[0];
  for (auto& action : macro.MacroList) {
    action = Act(3, 0, 1, 7);
  }
  Play({}, 100000);  // played as its 128 places, never beyond
  EXPECT_EQ(injector_.events.size(), 128u);
}

TEST_F(MacroPlayerTest, ARefusedEventEndsPlaybackWithoutLeavingAnythingPressed) {
  struct Case {
    const char* label;
    std::size_t refused;
    Events events;
  };
  // Press A, press left, (wait), release left, release A, then a key the
  // macro keeps down on purpose.
  const std::vector<TMACROKEY> macro = {Act(4, 1, 0x41, 0), Act(1, 1, 1, 1),    Act(6, 0, 5, 0),
                                        Act(1, 0, 1, 1),    Act(4, 0, 0x41, 0), Act(4, 1, 0x10, 0)};
  const Case cases[] = {
      {"refused press", 1, {"key 65 down", "refused button 0 down", "key 65 up"}},
      {"refused release",
       2,
       {"key 65 down", "button 0 down", "refused button 0 up", "button 0 up", "key 65 up"}},
      {"refused last press",
       4,
       {"key 65 down", "button 0 down", "button 0 up", "key 65 up", "refused key 16 down"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    injector_ = {};
    injector_.refuseEvent = c.refused;
    Play(macro);
    EXPECT_EQ(injector_.events, c.events);
    EXPECT_FALSE(player_.IsPlayingMacro);
  }
}

}  // namespace
}  // namespace monitor
