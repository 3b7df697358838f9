// The calling thread's last-error code.
#pragma once

#include "platform/base/types.h"

extern "C" {
/// Returns the last-error code of the calling thread.
DWORD GetLastError();
/// Sets the last-error code of the calling thread.
void SetLastError(DWORD code);
}
