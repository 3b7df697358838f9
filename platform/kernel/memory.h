// Checks of memory the caller hands over.
#pragma once

#include "platform/base/types.h"

extern "C" {
/// Whether the `size` bytes at `address` cannot all be written: TRUE for null and for memory
/// that is not mapped writable in this process.
BOOL IsBadWritePtr(LPVOID address, UINT_PTR size);
BOOL IsBadReadPtr(LPCVOID address, UINT_PTR size);
}
