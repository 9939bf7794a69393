// The platform's 16-byte calendar time record, kept portable: year, month,
// day of week, day, hour, minute, second, milliseconds, each 16-bit.
#pragma once

#include <cstdint>

namespace tamrik {

struct CalendarTime {
    uint16_t year = 0;
    uint16_t month = 0;
    uint16_t dayOfWeek = 0;
    uint16_t day = 0;
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t milliseconds = 0;
};
static_assert(sizeof(CalendarTime) == 16, "the calendar time record is 16 bytes");

}  // namespace tamrik
