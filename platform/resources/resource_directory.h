// Reading a resource blob (layout in resource_format.h): validation and lookup by type, name and
// language. Used for blobs in loaded modules and for blobs read from module files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/base/types.h"
#include "platform/resources/resource_format.h"

namespace yolt::rsrc {

/// A resource type or name: a number, or a text matched without regard to case.
struct ResourceKey {
    bool isId = true;
    uint16_t id = 0;
    std::u16string name;  // upper case

    /// From the argument of a resource call: a MAKEINTRESOURCE number, "#123" (the number 123)
    /// or a name. A null pointer gives the number 0, which matches nothing.
    static ResourceKey FromWide(const WCHAR* key);
    static ResourceKey FromNarrow(const char* key);
    static ResourceKey Id(uint16_t id) { return ResourceKey{true, id, {}}; }
};

/// Requests any language: neutral (0) first, else the first one stored.
inline constexpr uint32_t kAnyLanguage = 0xFFFFFFFFu;

/// A view of a validated blob; the bytes must outlive the view.
class ResourceDirectory {
public:
    /// Checks magic, version, sizes and that every offset and name lies inside the blob.
    /// Returns nullopt for a malformed blob.
    static std::optional<ResourceDirectory> Open(const uint8_t* data, size_t size);

    /// The entry for (type, name, language); null with ERROR_RESOURCE_TYPE_NOT_FOUND,
    /// ERROR_RESOURCE_NAME_NOT_FOUND or ERROR_RESOURCE_LANG_NOT_FOUND in *error.
    const Entry* Find(const ResourceKey& type, const ResourceKey& name, uint32_t language, DWORD* error) const;
    std::span<const uint8_t> Data(const Entry& entry) const;
    std::span<const Entry> Entries() const;
    /// Whether `entry` points at one of this blob's entries (to check handles).
    bool Owns(const void* entry) const;
    const uint8_t* Base() const { return data_; }
    size_t Size() const { return size_; }

private:
    ResourceDirectory(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Matches(uint32_t id, uint32_t nameOffset, const ResourceKey& key) const;

    const uint8_t* data_;
    size_t size_;
};

}  // namespace yolt::rsrc
