// Time stamps as the records keep them: days since 30 December 1899 plus
// the fraction of the day, as an IEEE 754 double.
#pragma once

#include "platform/Clock.h"

namespace monitor {

double DateTimeOf(const LocalTime& time);

}  // namespace monitor
