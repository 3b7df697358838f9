#include "platform/kernel/version.h"

#include <cstring>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/machine/machine.h"

extern "C" BOOL GetVersionExA(LPOSVERSIONINFOA info)
{
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto version = yolt::machine::CurrentMachine().Version();
    DWORD size = info->dwOSVersionInfoSize;
    bool extended = size == sizeof(OSVERSIONINFOEXA);
    if ((size != sizeof(OSVERSIONINFOA) && !extended) || (extended && !version.extendedQueryWorks)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    info->dwMajorVersion = version.major;
    info->dwMinorVersion = version.minor;
    info->dwBuildNumber = version.platformId == VER_PLATFORM_WIN32_WINDOWS
        ? ((version.major << 24) | (version.minor << 16) | (version.build & 0xFFFF))
        : version.build;
    info->dwPlatformId = version.platformId;
    std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
    std::strncpy(info->szCSDVersion, version.csdVersion.c_str(), sizeof info->szCSDVersion - 1);
    if (extended) {
        auto* ex = reinterpret_cast<OSVERSIONINFOEXA*>(info);
        ex->wServicePackMajor = version.servicePackMajor;
        ex->wServicePackMinor = version.servicePackMinor;
        ex->wSuiteMask = 0;
        ex->wProductType = version.productType;
        ex->wReserved = 0;
    }
    return TRUE;
}

extern "C" DWORD GetVersion()
{
    auto version = yolt::machine::CurrentMachine().Version();
    DWORD value = (version.major & 0xFF) | ((version.minor & 0xFF) << 8);
    if (version.platformId != VER_PLATFORM_WIN32_NT)
        value |= 0x80000000u;
    else
        value |= (version.build & 0x7FFF) << 16;
    return value;
}
