#include "platform/kernel/sync.h"

extern "C" LONG InterlockedIncrement(LONG volatile* target)
{
    return __atomic_add_fetch(target, 1, __ATOMIC_SEQ_CST);
}

extern "C" LONG InterlockedDecrement(LONG volatile* target)
{
    return __atomic_sub_fetch(target, 1, __ATOMIC_SEQ_CST);
}

extern "C" LONG InterlockedExchange(LONG volatile* target, LONG value)
{
    return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}

extern "C" LONG InterlockedCompareExchange(LONG volatile* target, LONG exchange, LONG comparand)
{
    LONG expected = comparand;
    __atomic_compare_exchange_n(target, &expected, exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
    return expected;
}

extern "C" void InitializeCriticalSection(LPCRITICAL_SECTION section)
{
    section->lock = new std::recursive_mutex;
}

extern "C" void DeleteCriticalSection(LPCRITICAL_SECTION section)
{
    delete section->lock;
    section->lock = nullptr;
}

extern "C" void EnterCriticalSection(LPCRITICAL_SECTION section)
{
    section->lock->lock();
}

extern "C" void LeaveCriticalSection(LPCRITICAL_SECTION section)
{
    section->lock->unlock();
}
