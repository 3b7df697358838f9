// Conversions between UTF-16 and narrow text in a Windows code page.
#pragma once

#include "platform/base/types.h"

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_MACCP 2
#define CP_THREAD_ACP 3
#define CP_UTF7 65000
#define CP_UTF8 65001
#define MB_ERR_INVALID_CHARS 0x00000008
#define WC_NO_BEST_FIT_CHARS 0x00000400

extern "C" {
/// UTF-16 to narrow text. `wideLength` -1 means up to and including the terminator. With
/// `narrowSize` 0 returns the bytes needed. Characters the code page cannot hold become its
/// default character (or `defaultChar` when given) and set *usedDefault. Fails with
/// ERROR_INSUFFICIENT_BUFFER, ERROR_INVALID_PARAMETER (unknown code page, bad arguments).
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR narrow, int narrowSize,
    LPCSTR defaultChar, LPBOOL usedDefault);
/// Narrow text to UTF-16. `narrowLength` -1 means up to and including the terminator. Bytes that
/// are not valid in the code page fail the call with ERROR_NO_UNICODE_TRANSLATION.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR narrow, int narrowLength, LPWSTR wide, int wideSize);
BOOL IsValidCodePage(UINT codePage);
}

namespace yolt {
/// The code page a CP_ACP, CP_OEMCP or CP_THREAD_ACP request stands for on this machine.
UINT ResolveCodePage(UINT codePage);
}

extern "C" {
/// Whether `byte` starts a double-byte character in the code page (932, 936, 949, 950).
BOOL IsDBCSLeadByteEx(UINT codePage, BYTE byte);
}
