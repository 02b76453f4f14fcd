#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <iostream>

#include "platform/win32/Win32Clock.h"

namespace monitor::win32 {
namespace {

using std::chrono::sys_seconds;
using namespace std::chrono_literals;

std::chrono::year_month_day Date(int year, int month, int day) {
  return std::chrono::year{year} / month / day;
}

// A local date and time as a count of seconds, with no time zone applied,
// so that two local readings compare directly.
sys_seconds Naive(int year, int month, int day, int hour, int minute, int second) {
  return std::chrono::sys_days{Date(year, month, day)} + std::chrono::hours{hour} +
         std::chrono::minutes{minute} + std::chrono::seconds{second};
}

sys_seconds RuntimeLocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_s(&local, &now);
  return Naive(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
               local.tm_sec);
}

// ctest runs this in a time zone away from UTC, where a clock that read
// the UTC time would be hours off.
TEST(Win32Clock, AgreesWithTheRuntimeLocalTime) {
  const sys_seconds before = RuntimeLocalNow();
  const LocalTime now = Win32Clock().LocalNow();
  const sys_seconds after = RuntimeLocalNow();

  EXPECT_TRUE(Date(now.year, now.month, now.day).ok());
  EXPECT_GE(now.millisecond, 0);
  EXPECT_LE(now.millisecond, 999);
  const sys_seconds read = Naive(now.year, now.month, now.day, now.hour, now.minute, now.second);
  EXPECT_GE(read.time_since_epoch().count(), (before - 2s).time_since_epoch().count());
  EXPECT_LE(read.time_since_epoch().count(), (after + 2s).time_since_epoch().count());
}

// Both waits last at least what they were asked for. How close the precise
// wait comes to a short delay is printed, not asserted.
TEST(Win32Clock, WaitsLastAtLeastTheirDuration) {
  Win32Clock clock;
  for (const auto duration :
       {std::chrono::milliseconds(6), std::chrono::milliseconds(15), std::chrono::milliseconds(40)}) {
    const auto start = std::chrono::steady_clock::now();
    clock.WaitPrecisely(duration);
    const auto precise = std::chrono::steady_clock::now() - start;
    EXPECT_GE(precise, duration);
    std::cout << "WaitPrecisely(" << duration.count() << " ms) took "
              << std::chrono::duration<double, std::milli>(precise).count() << " ms\n";
  }
  const auto start = std::chrono::steady_clock::now();
  clock.SleepFor(std::chrono::milliseconds(20));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(19));
}

}  // namespace
}  // namespace monitor::win32
