#include "component/operations/component_folder.h"

#include <cstdio>

#include "platform/base/wtext.h"
#include "platform/kernel/codepages.h"
#include "platform/kernel/modules.h"
#include "shared/platform_record.h"

int GetComponentFolder(HMODULE module, WCHAR* folder)
{
    if (!folder)
        return 0;
    folder[0] = 0;
    if (IsNtFamily()) {
        WCHAR path[MAX_PATH] = {};
        GetModuleFileNameW(module, path, MAX_PATH);
        WCHAR drive[_MAX_DRIVE];
        WCHAR dir[_MAX_DIR];
        _wsplitpath(path, drive, dir, nullptr, nullptr);
        wcscpy(folder, drive);
        wcscat(folder, dir);
        return 1;
    }
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, MAX_PATH);
    char drive[_MAX_DRIVE];
    char dir[_MAX_DIR];
    _splitpath(path, drive, dir, nullptr, nullptr);
    char joined[MAX_PATH] = {};
    std::snprintf(joined, sizeof joined, "%s%s", drive, dir);
    MultiByteToWideChar(ConversionCodePage(), 0, joined, -1, folder, MAX_PATH);
    return 1;
}
