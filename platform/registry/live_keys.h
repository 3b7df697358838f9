// Live keys: parts of the registry served from the machine's present state (hardware keys)
// instead of the hive files. They are read through the usual registry calls, refused to writers
// with ERROR_ACCESS_DENIED and never written to a hive file.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/base/types.h"
#include "platform/registry/key_tree.h"

namespace yolt::registry {

/// Builds the subtree at a live key's place (its own name is ignored). Called afresh at each
/// open of a key at or below that place; null hands the place back to the hive file, so that a
/// test may store raw keys there instead.
using LiveTreeBuilder = std::function<std::unique_ptr<Key>()>;

/// Serves the key `path` ("Enum\\USB") below `root` (HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER,
/// HKEY_USERS, or HKEY_CLASSES_ROOT for a place below HKLM\Software\Classes) from `builder`,
/// replacing an earlier builder of the same place. Its parent keys appear as needed. The
/// builder runs with the registry's lock held and must not wait for another thread's registry call.
void RegisterLiveTree(HKEY root, std::u16string_view path, LiveTreeBuilder builder);
/// Ends serving that place; nothing happens when it is not served.
void RemoveLiveTree(HKEY root, std::u16string_view path);

/// Why the hive holding `root` cannot be read ("<file> line <n>: <reason>"), empty when it can.
std::string HiveProblem(HKEY root);

}  // namespace yolt::registry
