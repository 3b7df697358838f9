#include "platform/resources/version_tree.h"

#include <string>

#include "platform/base/wtext.h"

namespace yolt::rsrc {
namespace {

size_t Align4(size_t value) { return (value + 3) & ~size_t(3); }
uint16_t ReadU16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }

struct Node {
    size_t offset;       // of the node in the tree
    size_t length;       // the node's length field
    uint16_t valueLength;
    uint16_t type;
    std::u16string key;
    size_t valueOffset;
    size_t childrenOffset;
};

// Reads the node at `offset`, which must end by `limit`.
std::optional<Node> ReadNode(const uint8_t* tree, size_t offset, size_t limit)
{
    if (offset + 6 > limit)
        return std::nullopt;
    Node node{offset, ReadU16(tree + offset), ReadU16(tree + offset + 2), ReadU16(tree + offset + 4), {}, 0, 0};
    if (node.length < 6 || node.length > limit - offset)
        return std::nullopt;
    size_t end = offset + node.length;
    size_t at = offset + 6;
    while (true) {
        if (at + 2 > end)
            return std::nullopt;
        char16_t c = ReadU16(tree + at);
        at += 2;
        if (c == 0)
            break;
        node.key.push_back(c);
    }
    node.valueOffset = Align4(at);
    size_t valueBytes = node.type == 1 ? size_t(node.valueLength) * 2 : node.valueLength;
    if (node.valueOffset + valueBytes > end) {
        // A text value may be written without the padding its length implies.
        if (node.valueOffset > end)
            return std::nullopt;
        valueBytes = end - node.valueOffset;
        node.valueLength = static_cast<uint16_t>(node.type == 1 ? valueBytes / 2 : valueBytes);
    }
    node.childrenOffset = Align4(node.valueOffset + valueBytes);
    return node;
}

bool SameKey(const std::u16string& a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldUpper(a[i]) != FoldUpper(b[i]))
            return false;
    }
    return true;
}

// Walks the path's components ("\StringFileInfo\000004B0\ProductName") from the root.
std::optional<Node> FindNode(const uint8_t* tree, std::u16string_view path)
{
    size_t treeLength = ReadU16(tree);
    auto node = ReadNode(tree, 0, treeLength);
    while (node && !path.empty()) {
        size_t separator = path.find(u'\\');
        std::u16string_view component = path.substr(0, separator);
        path = separator == std::u16string_view::npos ? std::u16string_view() : path.substr(separator + 1);
        if (component.empty())
            continue;
        size_t end = node->offset + node->length;
        std::optional<Node> found;
        for (size_t at = node->childrenOffset; at < end;) {
            auto child = ReadNode(tree, at, end);
            if (!child)
                break;
            if (SameKey(child->key, component)) {
                found = child;
                break;
            }
            at = Align4(at + child->length);
        }
        node = found;
    }
    return node;
}

}  // namespace

std::optional<VersionValue> FindVersionValue(const uint8_t* tree, std::u16string_view path)
{
    if (tree == nullptr)
        return std::nullopt;
    auto node = FindNode(tree, path);
    if (!node)
        return std::nullopt;
    return VersionValue{node->valueOffset, node->valueLength, node->type == 1};
}

}  // namespace yolt::rsrc
