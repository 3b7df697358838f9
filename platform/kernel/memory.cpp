#include "platform/kernel/memory.h"

#include <cstdio>
#include <cstring>

namespace {

// Whether [begin, end) lies in mappings of this process that carry the wanted permission
// ('r' or 'w'), read from the kernel's list of mappings.
bool IsMapped(uintptr_t begin, uintptr_t end, int permissionIndex, char permission)
{
    FILE* maps = std::fopen("/proc/self/maps", "r");
    if (!maps)
        return false;
    char line[512];
    uintptr_t covered = begin;
    while (covered < end && std::fgets(line, sizeof line, maps)) {
        unsigned long low = 0;
        unsigned long high = 0;
        char perms[5] = {};
        if (std::sscanf(line, "%lx-%lx %4s", &low, &high, perms) != 3)
            continue;
        if (covered >= low && covered < high) {
            if (perms[permissionIndex] != permission)
                break;
            covered = high;
        }
    }
    std::fclose(maps);
    return covered >= end;
}

}  // namespace

extern "C" BOOL IsBadWritePtr(LPVOID address, UINT_PTR size)
{
    if (!address)
        return TRUE;
    if (size == 0)
        return FALSE;
    auto begin = reinterpret_cast<uintptr_t>(address);
    return IsMapped(begin, begin + size, 1, 'w') ? FALSE : TRUE;
}

extern "C" BOOL IsBadReadPtr(LPCVOID address, UINT_PTR size)
{
    if (!address)
        return TRUE;
    if (size == 0)
        return FALSE;
    auto begin = reinterpret_cast<uintptr_t>(address);
    return IsMapped(begin, begin + size, 0, 'r') ? FALSE : TRUE;
}
