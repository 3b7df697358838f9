// Time on the machine's clock: virtual in tests, so waits cost nothing.
#pragma once

#include "platform/base/types.h"

extern "C" {
void Sleep(DWORD milliseconds);
DWORD GetTickCount();
void GetLocalTime(SYSTEMTIME* time);
void GetSystemTime(SYSTEMTIME* time);
}
