// Template part of drive_walk.h.
#pragma once

#include <cstring>

#include "platform/base/wtext.h"
#include "platform/kernel/codepages.h"
#include "platform/kernel/drives.h"
#include "shared/platform_record.h"

template <typename Visit>
void ForEachDriveRoot(Visit visit)
{
    char roots[260] = {};
    DWORD length = GetLogicalDriveStringsA(sizeof roots, roots);
    if (length == 0 || length > sizeof roots)
        return;
    for (const char* p = roots; *p; p += std::strlen(p) + 1) {
        WCHAR root[260] = {};
        if (MultiByteToWideChar(ConversionCodePage(), 0, p, -1, root, 260) == 0)
            continue;
        for (WCHAR* c = root; *c; ++c)
            *c = yolt::FoldUpper(*c);
        if (!visit(static_cast<const WCHAR*>(root)))
            return;
    }
}
