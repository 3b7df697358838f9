// Interlocked operations and critical sections.
#pragma once

#include <mutex>

#include "platform/base/types.h"

extern "C" {
LONG InterlockedIncrement(LONG volatile* target);
LONG InterlockedDecrement(LONG volatile* target);
LONG InterlockedExchange(LONG volatile* target, LONG value);
LONG InterlockedCompareExchange(LONG volatile* target, LONG exchange, LONG comparand);
}

/// A recursive lock, entered again by the thread that holds it.
struct CRITICAL_SECTION {
    std::recursive_mutex* lock;
};
typedef CRITICAL_SECTION* LPCRITICAL_SECTION;

extern "C" {
void InitializeCriticalSection(LPCRITICAL_SECTION section);
void DeleteCriticalSection(LPCRITICAL_SECTION section);
void EnterCriticalSection(LPCRITICAL_SECTION section);
void LeaveCriticalSection(LPCRITICAL_SECTION section);
}
