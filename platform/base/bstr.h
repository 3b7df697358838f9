// Automation strings (BSTR): a 32-bit byte length stands before the characters and a zero
// UTF-16 unit after them; the pointer points at the first character. A null BSTR and one of
// length 0 are both empty.
#pragma once

#include "platform/base/types.h"

extern "C" {
/// A new string holding a copy of `text` up to its terminator; null when `text` is null or
/// memory is exhausted. The caller frees it with SysFreeString.
BSTR SysAllocString(const OLECHAR* text);
/// A new string of `length` characters copied from `text`, or left zeroed when `text` is null.
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
/// A new string of `length` bytes copied from `bytes` (or zeroed), with two terminating zero bytes.
BSTR SysAllocStringByteLen(const char* bytes, UINT length);
/// Replaces *target with a new copy of `text`; FALSE when memory is exhausted.
INT SysReAllocString(BSTR* target, const OLECHAR* text);
/// Frees a string; null is allowed.
void SysFreeString(BSTR text);
/// Length in characters; 0 for null.
UINT SysStringLen(BSTR text);
/// Length in bytes; 0 for null.
UINT SysStringByteLen(BSTR text);
}
