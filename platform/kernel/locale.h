// The thread locale and the machine's code pages.
#pragma once

#include "platform/base/types.h"

#define LOCALE_IDEFAULTANSICODEPAGE 0x00001004
#define LOCALE_IDEFAULTCODEPAGE 0x0000000B
#define LOCALE_SYSTEM_DEFAULT 0x800
#define LOCALE_USER_DEFAULT 0x400
#define LANG_NEUTRAL 0x00
#define LANG_ENGLISH 0x09
#define SUBLANG_DEFAULT 0x01
#define SUBLANG_ENGLISH_US 0x01
#define MAKELANGID(p, s) ((static_cast<WORD>(s) << 10) | static_cast<WORD>(p))

extern "C" {
LCID GetThreadLocale();
BOOL SetThreadLocale(LCID locale);
LCID GetUserDefaultLCID();
LCID GetSystemDefaultLCID();
/// Only LOCALE_IDEFAULTANSICODEPAGE and LOCALE_IDEFAULTCODEPAGE are answered: the number as
/// decimal text. With `size` 0 returns the characters needed, terminator included.
int GetLocaleInfoA(LCID locale, DWORD type, LPSTR data, int size);
UINT GetACP();
UINT GetOEMCP();
}
