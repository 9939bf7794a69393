// The system's local time as the portable calendar record.
#pragma once

#include "base/calendar_time.h"

namespace tamrik {

CalendarTime SystemLocalTime();

}  // namespace tamrik
