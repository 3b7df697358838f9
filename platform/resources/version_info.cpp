#include "platform/resources/version_info.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/base/wtext.h"
#include "platform/kernel/codepages.h"
#include "platform/resources/resources.h"
#include "platform/resources/version_tree.h"

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
    auto node = yolt::rsrc::FindVersionValue(tree, path);
    if (!node) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return FALSE;
    }
    *buffer = const_cast<uint8_t*>(tree + node->offset);
    *length = node->length;
    if (!narrow || !node->isText || node->length == 0)
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
    for (size_t i = 0; i < node->length; ++i) {
        char16_t c = ReadU16(tree + node->offset + 2 * i);
        if (c == 0)
            break;
        text.push_back(c);
    }
    auto area = const_cast<char*>(reinterpret_cast<const char*>(tree + Align4(treeLength) + 4 + node->offset));
    int room = static_cast<int>(node->length) * 2;
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
