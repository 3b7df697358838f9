// Walking a version tree (layout in version_info.h) by a path of keys.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace yolt::rsrc {

struct VersionValue {
    size_t offset;         // of the value, from the tree's first byte
    uint16_t length;       // characters with terminator for a text, bytes otherwise
    bool isText;
};

/// Finds the node at `path` ("\StringFileInfo\000004B0\ProductName"; "\" or "" is the root)
/// in a tree whose root node's length field gives its size. Keys match without regard to
/// case. nullopt when absent or when the tree is malformed.
std::optional<VersionValue> FindVersionValue(const uint8_t* tree, std::u16string_view path);

}  // namespace yolt::rsrc
