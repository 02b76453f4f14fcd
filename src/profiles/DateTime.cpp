#include "profiles/DateTime.h"

namespace monitor {
namespace {

// Days from 1 March of year 0 counting, shifted so that 1970-01-01 is 0
// (the proleptic Gregorian calendar).
long long DaysFromCivil(long long year, long long month, long long day) {
  year -= month <= 2 ? 1 : 0;
  const long long era = (year >= 0 ? year : year - 399) / 400;
  const long long yearOfEra = year - era * 400;
  const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

constexpr long long kDaysFrom1899To1970 = 25569;
constexpr double kMillisecondsPerDay = 86400000.0;

}  // namespace

double DateTimeOf(const LocalTime& time) {
  const long long days = DaysFromCivil(time.year, time.month, time.day) + kDaysFrom1899To1970;
  const long long milliseconds =
      ((static_cast<long long>(time.hour) * 60 + time.minute) * 60 + time.second) * 1000 + time.millisecond;
  return static_cast<double>(days) + static_cast<double>(milliseconds) / kMillisecondsPerDay;
}

}  // namespace monitor
