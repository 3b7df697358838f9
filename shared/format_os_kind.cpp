// The system kind that decides how the format dialog is steered.
#include "shared/format_dialog_driver.h"

#include <cstring>

#include "platform/base/errors.h"
#include "platform/base/wtext.h"
#include "platform/kernel/version.h"
#include "platform/registry/registry.h"
#include "shared/format_driver_state.h"

namespace {

// An NT-family system whose version query has no extended form: the product named by the
// registry's product type, or unknown.
int KindFromProductType()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\ProductOptions", 0, KEY_QUERY_VALUE,
            &key) != ERROR_SUCCESS)
        return eFormatOsUnknown;
    char value[81] = {};  // one byte beyond the 80 read, so the text is always terminated
    DWORD size = 80;
    LONG status = RegQueryValueExA(key, "ProductType", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return eFormatOsUnknown;
    for (const char* product : {"WINNT", "LANMANNT", "SERVERNT"}) {
        if (_stricmp(value, product) == 0)
            return eFormatOsNtProduct;
    }
    return eFormatOsUnknown;
}

int KindOfNt(const OSVERSIONINFOA& info, bool extended)
{
    if (info.dwMajorVersion <= 4)
        return eFormatOsNt4;
    if (info.dwMajorVersion == 5 && info.dwMinorVersion == 0)
        return eFormatOsWin2000;
    if (extended)
        return info.dwMajorVersion == 5 && info.dwMinorVersion == 1 ? eFormatOsWinXp : eFormatOsUnknown;
    return KindFromProductType();
}

int KindOf95(const OSVERSIONINFOA& info)
{
    char edition = info.szCSDVersion[1];
    switch (info.dwMinorVersion) {
    case 0: return edition == 'C' || edition == 'B' ? eFormatOsWin95Osr2 : eFormatOsWin95;
    case 10: return edition == 'A' ? eFormatOsWin98Se : eFormatOsWin98;
    case 90: return eFormatOsWinMe;
    }
    return eFormatOsUnknown;
}

int ComputeKind()
{
    OSVERSIONINFOEXA extended{};
    extended.dwOSVersionInfoSize = sizeof extended;
    bool extendedWorked = GetVersionExA(reinterpret_cast<LPOSVERSIONINFOA>(&extended)) != FALSE;
    OSVERSIONINFOA info{};
    if (extendedWorked) {
        std::memcpy(&info, &extended, sizeof info);
    } else {
        info.dwOSVersionInfoSize = sizeof info;
        if (!GetVersionExA(&info))
            return eFormatOsUnknown;
    }
    if (info.dwPlatformId == VER_PLATFORM_WIN32_NT)
        return KindOfNt(info, extendedWorked);
    if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && info.dwMajorVersion == 4)
        return KindOf95(info);
    return eFormatOsUnknown;
}

}  // namespace

int GetFormatOsKind()
{
    FormatDriverState& state = FormatDriver();
    if (state.kindCache != eFormatOsUnknown)
        return state.kindCache;
    state.kindCache = ComputeKind();
    return state.kindCache;
}

void ForgetFormatOsKind()
{
    FormatDriver().kindCache = eFormatOsUnknown;
}
