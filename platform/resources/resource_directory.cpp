#include "platform/resources/resource_directory.h"

#include <cstring>

#include "platform/base/errors.h"
#include "platform/base/wtext.h"

namespace yolt::rsrc {
namespace {

std::u16string Upper(std::u16string text)
{
    for (auto& c : text)
        c = FoldUpper(c);
    return text;
}

// A name of the form "#123" stands for the number 123.
std::optional<uint16_t> HashNumber(std::u16string_view text)
{
    if (text.size() < 2 || text[0] != u'#')
        return std::nullopt;
    uint32_t value = 0;
    for (auto c : text.substr(1)) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > 0xFFFF)
            return std::nullopt;
    }
    return static_cast<uint16_t>(value);
}

ResourceKey FromText(std::u16string text)
{
    if (auto number = HashNumber(text))
        return ResourceKey::Id(*number);
    return ResourceKey{false, 0, Upper(std::move(text))};
}

// Whether a zero-terminated UTF-16 text starts at `offset` and ends inside the blob.
bool TextInside(const uint8_t* data, size_t size, uint32_t offset)
{
    if (offset % 2 != 0 || offset < sizeof(BlobHeader))
        return false;
    for (size_t at = offset; at + 1 < size; at += 2) {
        if (data[at] == 0 && data[at + 1] == 0)
            return true;
    }
    return false;
}

}  // namespace

ResourceKey ResourceKey::FromWide(const WCHAR* key)
{
    auto value = reinterpret_cast<uintptr_t>(key);
    if (value <= 0xFFFF)
        return Id(static_cast<uint16_t>(value));
    return FromText(std::u16string(key));
}

ResourceKey ResourceKey::FromNarrow(const char* key)
{
    auto value = reinterpret_cast<uintptr_t>(key);
    if (value <= 0xFFFF)
        return Id(static_cast<uint16_t>(value));
    // Resource names are ASCII; other bytes are taken as Latin-1.
    std::u16string text;
    for (const char* p = key; *p; ++p)
        text.push_back(static_cast<unsigned char>(*p));
    return FromText(std::move(text));
}

std::optional<ResourceDirectory> ResourceDirectory::Open(const uint8_t* data, size_t size)
{
    if (data == nullptr || size < sizeof(BlobHeader))
        return std::nullopt;
    BlobHeader header;
    std::memcpy(&header, data, sizeof header);
    if (header.magic != kBlobMagic || header.version != kBlobVersion)
        return std::nullopt;
    if (header.totalSize < sizeof(BlobHeader) || header.totalSize > size)
        return std::nullopt;
    size = header.totalSize;
    if (reinterpret_cast<uintptr_t>(data) % alignof(Entry) != 0)
        return std::nullopt;
    if (header.entryCount > (size - sizeof(BlobHeader)) / sizeof(Entry))
        return std::nullopt;
    ResourceDirectory directory(data, size);
    for (const auto& entry : directory.Entries()) {
        if (entry.dataOffset > size || entry.dataSize > size - entry.dataOffset)
            return std::nullopt;
        if (entry.typeNameOffset != 0 && !TextInside(data, size, entry.typeNameOffset))
            return std::nullopt;
        if (entry.nameNameOffset != 0 && !TextInside(data, size, entry.nameNameOffset))
            return std::nullopt;
    }
    return directory;
}

std::span<const Entry> ResourceDirectory::Entries() const
{
    BlobHeader header;
    std::memcpy(&header, data_, sizeof header);
    return {reinterpret_cast<const Entry*>(data_ + sizeof(BlobHeader)), header.entryCount};
}

std::span<const uint8_t> ResourceDirectory::Data(const Entry& entry) const
{
    return {data_ + entry.dataOffset, entry.dataSize};
}

bool ResourceDirectory::Owns(const void* entry) const
{
    auto entries = Entries();
    auto at = reinterpret_cast<uintptr_t>(entry);
    auto first = reinterpret_cast<uintptr_t>(entries.data());
    if (at < first || at >= first + entries.size_bytes())
        return false;
    return (at - first) % sizeof(Entry) == 0;
}

bool ResourceDirectory::Matches(uint32_t id, uint32_t nameOffset, const ResourceKey& key) const
{
    if (key.isId)
        return nameOffset == 0 && id == key.id;
    if (nameOffset == 0)
        return false;
    auto text = reinterpret_cast<const uint8_t*>(data_ + nameOffset);
    for (size_t i = 0;; ++i) {
        char16_t c = static_cast<char16_t>(text[2 * i] | (text[2 * i + 1] << 8));
        char16_t want = i < key.name.size() ? key.name[i] : u'\0';
        if (FoldUpper(c) != want)
            return false;
        if (c == 0)
            return true;
    }
}

const Entry* ResourceDirectory::Find(const ResourceKey& type, const ResourceKey& name, uint32_t language,
    DWORD* error) const
{
    bool typeSeen = false;
    const Entry* neutral = nullptr;
    const Entry* first = nullptr;
    for (const auto& entry : Entries()) {
        if (!Matches(entry.typeId, entry.typeNameOffset, type))
            continue;
        typeSeen = true;
        if (!Matches(entry.nameId, entry.nameNameOffset, name))
            continue;
        if (language != kAnyLanguage && entry.language == language)
            return &entry;
        if (entry.language == 0 && neutral == nullptr)
            neutral = &entry;
        if (first == nullptr)
            first = &entry;
    }
    const Entry* found = neutral != nullptr ? neutral : (language == kAnyLanguage ? first : nullptr);
    if (found != nullptr)
        return found;
    if (error != nullptr) {
        if (!typeSeen)
            *error = ERROR_RESOURCE_TYPE_NOT_FOUND;
        else if (first == nullptr)
            *error = ERROR_RESOURCE_NAME_NOT_FOUND;
        else
            *error = ERROR_RESOURCE_LANG_NOT_FOUND;
    }
    return nullptr;
}

}  // namespace yolt::rsrc
