// Conversions between UTF-16 texts and narrow text in the conversion code page, as both
// deliverables make them.
#pragma once

#include <string>

#include "platform/base/bstr.h"

/// UTF-16 text (null or a BSTR of length 0 give "") as narrow text.
std::string NarrowFromWide(const WCHAR* text, int length = -1);
/// Narrow text as a new automation string (freed by the caller with SysFreeString); an empty
/// text gives null.
BSTR BstrFromNarrow(const char* text);
/// Whether an automation string counts as empty (null or length 0).
inline bool IsEmptyBstr(BSTR text)
{
    return !text || SysStringLen(text) == 0;
}
