#include "base/win32/local_time.h"

#include <windows.h>

namespace tamrik {

CalendarTime SystemLocalTime() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    CalendarTime time;
    time.year = now.wYear;
    time.month = now.wMonth;
    time.dayOfWeek = now.wDayOfWeek;
    time.day = now.wDay;
    time.hour = now.wHour;
    time.minute = now.wMinute;
    time.second = now.wSecond;
    time.milliseconds = now.wMilliseconds;
    return time;
}

}  // namespace tamrik
