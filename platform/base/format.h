// printf-style formatting of narrow and UTF-16 text with the Windows meaning of the
// conversions: in a wide format %s is wide text and %S narrow; in a narrow format %s is narrow
// and %S wide; %ws/%ls are always wide and %hs always narrow. Also %c, %d, %i, %u, %x, %X, %p,
// %%, with flags '-' and '0', a width and a precision ('*' too).
#pragma once

#include <cstdarg>
#include <string>

#include "platform/base/types.h"

namespace yolt {
std::u16string VFormatW(const WCHAR* format, va_list args);
std::u16string FormatW(const WCHAR* format, ...);
std::string VFormatA(const char* format, va_list args);
std::string FormatA(const char* format, ...);
}  // namespace yolt

extern "C" {
/// Formats into `buffer`, at most 1024 characters with the terminator as the system's call does;
/// returns the number of characters written without the terminator.
int wsprintfA(LPSTR buffer, LPCSTR format, ...);
int wsprintfW(LPWSTR buffer, LPCWSTR format, ...);
int wvsprintfA(LPSTR buffer, LPCSTR format, va_list args);
int wvsprintfW(LPWSTR buffer, LPCWSTR format, va_list args);
}

/// Formats at most `count` characters (terminator included when it fits), as _snwprintf does:
/// returns -1 when the text did not fit.
int _snwprintf(char16_t* buffer, size_t count, const char16_t* format, ...);
int swprintf(char16_t* buffer, size_t count, const char16_t* format, ...);
