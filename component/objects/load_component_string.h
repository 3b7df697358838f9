// The component's message texts: from the optional string provider in the language asked for,
// else from the component's own string table.
#pragma once

#include "platform/base/types.h"

/// Loads text `id` in narrow (ANSI code page) or wide form into a new heap block that the
/// caller frees with free(); null when the string table has no such text. A nonzero `locale`
/// asks the string provider first; its empty or failed answers fall back to the string table,
/// read with room for `longest` characters including the terminator. `outLength`, when given,
/// receives the text's length in bytes without the terminator.
void* LoadComponentString(UINT id, int longest, BOOL narrow, DWORD* outLength, ULONG locale);
