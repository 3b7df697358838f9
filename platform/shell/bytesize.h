// Sizes as the shell shows them: "1023 bytes", "1.00 KB", "3.27 MB", "100 GB".
#pragma once

#include "platform/base/types.h"

extern "C" {
/// Formats `size` into `buffer` (at most `bufferSize` characters with the terminator) with three
/// significant digits in units of 1024 (cut, not rounded); returns `buffer`, or null when it
/// does not fit.
LPWSTR StrFormatByteSizeW(LONGLONG size, LPWSTR buffer, UINT bufferSize);
LPSTR StrFormatByteSizeA(DWORD size, LPSTR buffer, UINT bufferSize);
LPSTR StrFormatByteSize64A(LONGLONG size, LPSTR buffer, UINT bufferSize);
}
