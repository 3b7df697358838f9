// UTF-16 text helpers with the C run time's semantics, as overloads for char16_t text, and
// UTF-8 conversions for the platform's own use (host paths, messages).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/base/types.h"

namespace yolt {
/// Number of UTF-16 units before the terminator.
size_t WLen(const WCHAR* text);
/// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf8FromWide(std::u16string_view text);
std::string Utf8FromWide(const WCHAR* text);
/// UTF-8 to UTF-16; invalid bytes become U+FFFD.
std::u16string WideFromUtf8(std::string_view text);
/// ASCII-only upper and lower case, as the C run time's "C" locale has it.
WCHAR AsciiUpper(WCHAR c);
WCHAR AsciiLower(WCHAR c);
/// Upper case for case-insensitive name matching: Latin-1 and common letters too.
WCHAR FoldUpper(WCHAR c);
}  // namespace yolt

// C run time functions on UTF-16 text.
size_t wcslen(const char16_t* s);
char16_t* wcscpy(char16_t* dest, const char16_t* src);
char16_t* wcsncpy(char16_t* dest, const char16_t* src, size_t count);
char16_t* wcscat(char16_t* dest, const char16_t* src);
int wcscmp(const char16_t* a, const char16_t* b);
int wcsncmp(const char16_t* a, const char16_t* b, size_t count);
/// Comparison without regard to case (ASCII letters, as the "C" locale).
int _wcsicmp(const char16_t* a, const char16_t* b);
int _wcsnicmp(const char16_t* a, const char16_t* b, size_t count);
const char16_t* wcschr(const char16_t* s, char16_t c);
char16_t* wcschr(char16_t* s, char16_t c);
const char16_t* wcsrchr(const char16_t* s, char16_t c);
char16_t* wcsrchr(char16_t* s, char16_t c);
const char16_t* wcsstr(const char16_t* haystack, const char16_t* needle);
char16_t* wcsstr(char16_t* haystack, const char16_t* needle);
/// Upper-cases ASCII letters in place and returns the text.
char16_t* _wcsupr(char16_t* s);
char16_t* _wcslwr(char16_t* s);
char* _strupr(char* s);
int _stricmp(const char* a, const char* b);
int _strnicmp(const char* a, const char* b, size_t count);

#define _MAX_DRIVE 3
#define _MAX_DIR 256
#define _MAX_FNAME 256
#define _MAX_EXT 256
/// Splits a path into drive ("E:"), folder (with trailing separator), base name and extension
/// (with its dot). Each output may be null.
void _wsplitpath(const char16_t* path, char16_t* drive, char16_t* dir, char16_t* fname, char16_t* ext);
void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext);
