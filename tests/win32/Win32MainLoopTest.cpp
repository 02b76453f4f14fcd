#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/Win32MainLoop.h"
#include "win32/MessagePump.h"

namespace monitor::win32 {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kInterval = 50ms;
// Long enough for a stopped timer to have ticked several more times.
constexpr std::chrono::milliseconds kQuietPeriod = 5 * kInterval;

struct RanTask {
  int poster;
  int sequence;
  DWORD thread;
};

// The posters keep posting while the main thread runs what arrived, so a
// wake-up lost between the two would leave tasks behind.
TEST(Win32MainLoop, TasksFromSeveralThreadsRunOnTheMainThreadInPostingOrder) {
  constexpr int kPosters = 4;
  constexpr int kTasksEach = 250;
  Win32MainLoop loop;
  std::vector<RanTask> ran;  // only the tasks touch it
  std::vector<std::thread> posters;
  for (int poster = 0; poster < kPosters; ++poster) {
    posters.emplace_back([&loop, &ran, poster] {
      for (int sequence = 0; sequence < kTasksEach; ++sequence) {
        loop.Post([&ran, poster, sequence] { ran.push_back({poster, sequence, GetCurrentThreadId()}); });
      }
    });
  }
  const bool allRan = PumpUntil(loop, [&] { return ran.size() == kPosters * kTasksEach; });
  for (std::thread& poster : posters) {
    poster.join();
  }
  ASSERT_TRUE(allRan) << ran.size() << " of " << kPosters * kTasksEach << " tasks ran";

  const DWORD mainThread = GetCurrentThreadId();
  std::vector<int> expectedNext(kPosters, 0);
  int offThread = 0;
  int outOfOrder = 0;
  for (const RanTask& task : ran) {
    offThread += task.thread != mainThread ? 1 : 0;
    int& next = expectedNext[static_cast<std::size_t>(task.poster)];
    outOfOrder += task.sequence != next ? 1 : 0;
    next = task.sequence + 1;
  }
  EXPECT_EQ(offThread, 0);
  EXPECT_EQ(outOfOrder, 0);
}

TEST(Win32MainLoop, ATaskPostedByATaskRunsAfterEverythingQueuedBeforeIt) {
  Win32MainLoop loop;
  std::vector<std::string> ran;
  loop.Post([&] {
    ran.push_back("first begins");
    loop.Post([&] { ran.push_back("posted by first"); });
    ran.push_back("first ends");
  });
  loop.Post([&] { ran.push_back("second"); });
  EXPECT_TRUE(ran.empty()) << "a task ran while it was posted";

  loop.ProcessPendingMessages();
  EXPECT_EQ(ran, (std::vector<std::string>{"first begins", "first ends", "second", "posted by first"}));
}

// A long handler that lets pending messages run sees the tasks queued
// behind it run, as it would see any other waiting message.
TEST(Win32MainLoop, AHandlerProcessingPendingMessagesRunsTheTasksQueuedBehindIt) {
  Win32MainLoop loop;
  std::vector<std::string> ran;
  loop.Post([&] {
    ran.push_back("handler begins");
    loop.ProcessPendingMessages();
    ran.push_back("handler ends");
  });
  loop.Post([&] { ran.push_back("queued behind"); });

  loop.ProcessPendingMessages();
  EXPECT_EQ(ran, (std::vector<std::string>{"handler begins", "queued behind", "handler ends"}));
}

// However many tasks wait, the queue holds one wake-up for them, so that a
// burst never fills it; and all of them run.
TEST(Win32MainLoop, ABurstOfPostsLeavesOneWakeUpInTheQueue) {
  constexpr int kBurst = 2000;
  Win32MainLoop loop;
  int ran = 0;
  std::thread poster([&] {
    for (int task = 0; task < kBurst; ++task) {
      loop.Post([&ran] { ++ran; });
    }
  });
  poster.join();

  std::vector<MSG> waiting;
  MSG message{};
  while (PeekMessageW(&message, loop.Window(), 0, 0, PM_REMOVE)) {
    waiting.push_back(message);
  }
  EXPECT_EQ(waiting.size(), 1u);
  for (const MSG& wakeUp : waiting) {
    DispatchMessageW(&wakeUp);
  }
  loop.ProcessPendingMessages();
  EXPECT_EQ(ran, kBurst);
}

TEST(Win32MainLoop, ATimerTicksAtItsIntervalUntilStopped) {
  Win32MainLoop loop;
  std::vector<Clock::time_point> ticks;
  const Clock::time_point started = Clock::now();
  const TimerId timer = loop.StartTimer(kInterval, [&] { ticks.push_back(Clock::now()); });

  ASSERT_TRUE(PumpUntil(loop, [&] { return ticks.size() >= 4; }));
  // Four ticks cannot come before three intervals passed, however Windows
  // rounds them.
  EXPECT_GE(ticks[3] - started, 3 * kInterval);

  loop.StopTimer(timer);
  const std::size_t ticked = ticks.size();
  PumpFor(loop, kQuietPeriod);
  EXPECT_EQ(ticks.size(), ticked);
}

// A one-shot is a timer that stops itself on its first tick. Its last tick
// also starts another timer, as a countdown restarted from a callback does.
class Win32MainLoopSelfStoppingTimer : public ::testing::TestWithParam<int> {};

TEST_P(Win32MainLoopSelfStoppingTimer, StopsInItsOwnCallbackAndCanStartAnother) {
  const int lastTick = GetParam();
  Win32MainLoop loop;
  int ticks = 0;
  int followUpTicks = 0;
  TimerId timer = 0;
  TimerId followUp = 0;
  timer = loop.StartTimer(kInterval, [&] {
    if (++ticks == lastTick) {
      loop.StopTimer(timer);
      followUp = loop.StartTimer(kInterval, [&] {
        loop.StopTimer(followUp);
        ++followUpTicks;
      });
    }
  });

  ASSERT_TRUE(PumpUntil(loop, [&] { return followUpTicks > 0; }));
  PumpFor(loop, kQuietPeriod);
  EXPECT_EQ(ticks, lastTick);
  EXPECT_EQ(followUpTicks, 1);
}

INSTANTIATE_TEST_SUITE_P(Win32MainLoop, Win32MainLoopSelfStoppingTimer, ::testing::Values(1, 3),
                         [](const ::testing::TestParamInfo<int>& testCase) {
                           return testCase.param == 1 ? std::string("OneShot")
                                                      : "After" + std::to_string(testCase.param) + "Ticks";
                         });

// The task quits and then lets pending messages run, as a handler may: the
// quit must still end Run. A guard timer ends a Run that missed it.
TEST(Win32MainLoop, RunReturnsTheExitCodeOfAQuitFromATask) {
  constexpr int kExitCode = 7;
  constexpr int kMissedQuit = -1;
  Win32MainLoop loop;
  bool queuedAfterQuitRan = false;
  loop.Post([&] {
    loop.Quit(kExitCode);
    loop.ProcessPendingMessages();
  });
  loop.Post([&] { queuedAfterQuitRan = true; });
  loop.StartTimer(kPumpLimit, [&] { loop.Quit(kMissedQuit); });

  EXPECT_EQ(loop.Run(), kExitCode);
  EXPECT_TRUE(queuedAfterQuitRan);
}

}  // namespace
}  // namespace monitor::win32
