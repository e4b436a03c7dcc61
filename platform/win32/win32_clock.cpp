#include "platform/win32/win32_clock.h"

#include <windows.h>

namespace qm {
namespace {

SystemTime FromSystemTime(const SYSTEMTIME& time) {
    SystemTime out;
    out.year = time.wYear;
    out.month = time.wMonth;
    out.dayOfWeek = time.wDayOfWeek;
    out.day = time.wDay;
    out.hour = time.wHour;
    out.minute = time.wMinute;
    out.second = time.wSecond;
    out.milliseconds = time.wMilliseconds;
    return out;
}

}  // namespace

FileTime Win32Clock::NowUtc() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return FileTime{uint64_t{now.dwHighDateTime} << 32 | now.dwLowDateTime};
}

SystemTime Win32Clock::NowUtcSystemTime() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    return FromSystemTime(now);
}

SystemTime Win32Clock::LocalNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return FromSystemTime(now);
}

uint32_t Win32Clock::TickMs() {
    return GetTickCount();
}

}  // namespace qm
