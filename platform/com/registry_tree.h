// Writing and removing registry keys with their content, as registration needs them.
#pragma once

#include <string>

#include "platform/base/types.h"

namespace yolt {
/// Creates `path` below `root` (with missing parents) and sets its value `name` (null: the
/// default value) to `text`. Returns ERROR_SUCCESS or the registry's error.
LONG SetRegistryText(HKEY root, const std::string& path, const char* name, const std::string& text);
/// Deletes `path` below `root` with all its subkeys; ERROR_FILE_NOT_FOUND when it is absent.
LONG DeleteRegistryTree(HKEY root, const std::string& path);
/// Whether the key `path` exists and has no subkeys.
bool RegistryKeyIsEmpty(HKEY root, const std::string& path);
}  // namespace yolt
