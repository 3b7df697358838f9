#include "platform/resources/version_info.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/base/wtext.h"
#include "platform/kernel/codepages.h"
#include "platform/resources/resources.h"

namespace {

// A GetFileVersionInfo buffer: the version tree, this marker, then as many bytes again, where
// VerQueryValueA puts the 8-bit form of a text at the same offset as its UTF-16 form.
constexpr uint32_t kNarrowAreaMarker = 0x38415659;  // "YVA8"
constexpr uint16_t kRtVersion = 16;

size_t Align4(size_t value) { return (value + 3) & ~size_t(3); }
size_t BufferSize(size_t treeLength) { return Align4(treeLength) + 4 + Align4(treeLength); }

uint16_t ReadU16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }

bool ReadTree(LPCWSTR path, std::vector<uint8_t>& tree)
{
    DWORD error = ERROR_SUCCESS;
    if (!yolt::ReadFileResourceW(path, yolt::rsrc::ResourceKey::Id(kRtVersion), yolt::rsrc::ResourceKey::Id(1), tree, error)) {
        SetLastError(error);
        return false;
    }
    if (tree.size() < 6 || ReadU16(tree.data()) > tree.size() || ReadU16(tree.data()) < 6) {
        SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    tree.resize(ReadU16(tree.data()));
    return true;
}

std::u16string WideFromAnsi(LPCSTR text)
{
    if (text == nullptr)
        return {};
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 0)
        return {};
    std::u16string wide(static_cast<size_t>(length), u'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

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
        if (yolt::FoldUpper(a[i]) != yolt::FoldUpper(b[i]))
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

DWORD SizeFor(LPCWSTR path, LPDWORD handle)
{
    if (handle != nullptr)
        *handle = 0;
    std::vector<uint8_t> tree;
    if (!ReadTree(path, tree))
        return 0;
    return static_cast<DWORD>(BufferSize(tree.size()));
}

BOOL CopyTo(LPCWSTR path, DWORD size, LPVOID data)
{
    if (data == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<uint8_t> tree;
    if (!ReadTree(path, tree))
        return FALSE;
    if (size < tree.size()) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    auto out = static_cast<uint8_t*>(data);
    std::memcpy(out, tree.data(), tree.size());
    if (size >= BufferSize(tree.size())) {
        std::memset(out + tree.size(), 0, BufferSize(tree.size()) - tree.size());
        std::memcpy(out + Align4(tree.size()), &kNarrowAreaMarker, 4);
    }
    return TRUE;
}

BOOL Query(LPCVOID block, std::u16string_view path, bool narrow, LPVOID* buffer, UINT* length)
{
    if (block == nullptr || buffer == nullptr || length == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto tree = static_cast<const uint8_t*>(block);
    auto node = FindNode(tree, path);
    if (!node) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return FALSE;
    }
    *buffer = const_cast<uint8_t*>(tree + node->valueOffset);
    *length = node->valueLength;
    if (!narrow || node->type != 1 || node->valueLength == 0)
        return TRUE;

    // The 8-bit form goes to the buffer's second half, which GetFileVersionInfo set aside.
    size_t treeLength = ReadU16(tree);
    uint32_t marker;
    std::memcpy(&marker, tree + Align4(treeLength), 4);
    if (marker != kNarrowAreaMarker) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::u16string text;
    for (size_t i = 0; i < node->valueLength; ++i) {
        char16_t c = ReadU16(tree + node->valueOffset + 2 * i);
        if (c == 0)
            break;
        text.push_back(c);
    }
    auto area = const_cast<char*>(reinterpret_cast<const char*>(tree + Align4(treeLength) + 4 + node->valueOffset));
    int room = static_cast<int>(node->valueLength) * 2;
    int written = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()) + 1, area, room, nullptr, nullptr);
    if (written <= 0)
        return FALSE;
    *buffer = area;
    *length = static_cast<UINT>(written);
    return TRUE;
}

}  // namespace

extern "C" {

DWORD GetFileVersionInfoSizeA(LPCSTR path, LPDWORD handle)
{
    return SizeFor(WideFromAnsi(path).c_str(), handle);
}

DWORD GetFileVersionInfoSizeW(LPCWSTR path, LPDWORD handle)
{
    return SizeFor(path, handle);
}

BOOL GetFileVersionInfoA(LPCSTR path, DWORD, DWORD size, LPVOID data)
{
    return CopyTo(WideFromAnsi(path).c_str(), size, data);
}

BOOL GetFileVersionInfoW(LPCWSTR path, DWORD, DWORD size, LPVOID data)
{
    return CopyTo(path, size, data);
}

BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, UINT* length)
{
    if (subBlock == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return Query(block, WideFromAnsi(subBlock), true, buffer, length);
}

BOOL VerQueryValueW(LPCVOID block, LPCWSTR subBlock, LPVOID* buffer, UINT* length)
{
    if (subBlock == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return Query(block, subBlock, false, buffer, length);
}

}  // extern "C"
