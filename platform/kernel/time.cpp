#include "platform/kernel/time.h"

#include <sys/time.h>

#include <ctime>

#include "platform/machine/machine.h"

namespace {

void FillSystemTime(const timeval& now, const struct tm& parts, SYSTEMTIME* time)
{
    time->wYear = static_cast<WORD>(parts.tm_year + 1900);
    time->wMonth = static_cast<WORD>(parts.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(parts.tm_wday);
    time->wDay = static_cast<WORD>(parts.tm_mday);
    time->wHour = static_cast<WORD>(parts.tm_hour);
    time->wMinute = static_cast<WORD>(parts.tm_min);
    time->wSecond = static_cast<WORD>(parts.tm_sec);
    time->wMilliseconds = static_cast<WORD>(now.tv_usec / 1000);
}

}  // namespace

extern "C" {

void Sleep(DWORD milliseconds)
{
    yolt::machine::CurrentMachine().GetClock().Sleep(milliseconds);
}

DWORD GetTickCount()
{
    // Wraps after 49.7 days, as the 32-bit count does on Windows.
    return static_cast<DWORD>(yolt::machine::CurrentMachine().GetClock().NowMs());
}

void GetLocalTime(SYSTEMTIME* time)
{
    if (!time)
        return;
    timeval now;
    ::gettimeofday(&now, nullptr);
    struct tm parts;
    ::localtime_r(&now.tv_sec, &parts);
    FillSystemTime(now, parts, time);
}

void GetSystemTime(SYSTEMTIME* time)
{
    if (!time)
        return;
    timeval now;
    ::gettimeofday(&now, nullptr);
    struct tm parts;
    ::gmtime_r(&now.tv_sec, &parts);
    FillSystemTime(now, parts, time);
}

}  // extern "C"
