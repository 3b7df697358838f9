// The .reg text form of a hive: reading both "REGEDIT4" and "Windows Registry Editor Version
// 5.00" files, and writing the latter (as UTF-8 text).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/base/types.h"
#include "platform/registry/key_tree.h"

namespace yolt::registry {

/// The hives kept in files. HKEY_CLASSES_ROOT is part of the machine hive.
enum class HiveId { Machine, User, Users };

/// The root key name a hive's sections start with ("HKEY_LOCAL_MACHINE").
const char* HiveRootName(HiveId hive);

struct ParseResult {
    std::unique_ptr<Key> root;  // null when the text could not be parsed
    int errorLine = 0;          // 1-based line of the first error
    std::string error;          // what is wrong there
};

/// Parses a hive's text. Sections name keys of this hive (full or short root names; the classes
/// root names a key below Software\Classes of the machine hive). `[-key]` and `"name"=-` delete.
/// Narrow text in REGEDIT4 files and bytes that are not UTF-8 are read in `ansiCodePage`.
ParseResult ParseRegText(std::string_view bytes, HiveId hive, UINT ansiCodePage);

/// The hive as "Windows Registry Editor Version 5.00" text: every key below the root in
/// creation order, parents before their subkeys.
std::string FormatRegText(const Key& root, HiveId hive);

}  // namespace yolt::registry
