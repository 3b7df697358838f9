// Internals shared by the COM runtime's sources.
#pragma once

#include <string>

#include "platform/base/types.h"

namespace yolt::com {

/// Whether the calling thread is in an apartment.
bool InApartment();
/// Unloads the loaded servers whose DllCanUnloadNow returns S_OK.
void FreeUnusedServers();
/// Reads the default value (REG_SZ or REG_EXPAND_SZ) of HKCR\<path>; a registry error code, or
/// ERROR_FILE_NOT_FOUND for a value of another type.
LONG ReadClassesDefault(const std::u16string& path, std::u16string& text);

}  // namespace yolt::com
