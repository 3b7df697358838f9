// The folder of the component's own module file.
#pragma once

#include "platform/base/types.h"

/// Writes the drive and folder of `module`'s file, ending with a backslash, into `folder`
/// (at least 260 units). Returns 1, or 0 when no buffer was given.
int GetComponentFolder(HMODULE module, WCHAR* folder);
