// A fixed clock for the tests: a calendar time from its parts, and the one
// moment of a press that the naming, saving and report tests read.
#pragma once

#include <cstdint>

#include "base/calendar_time.h"

namespace tamrik_test {

inline tamrik::CalendarTime CalendarAt(int year, int month, int day, int hour, int minute, int second) {
    tamrik::CalendarTime t;
    t.year = static_cast<uint16_t>(year);
    t.month = static_cast<uint16_t>(month);
    t.day = static_cast<uint16_t>(day);
    t.hour = static_cast<uint16_t>(hour);
    t.minute = static_cast<uint16_t>(minute);
    t.second = static_cast<uint16_t>(second);
    return t;
}

// 5 March 2024, 14:23:41: half minute 0x6bf of the day.
inline tamrik::CalendarTime FixedClock() {
    return CalendarAt(2024, 3, 5, 14, 23, 41);
}

}  // namespace tamrik_test
