// Narrow registry reads of the 95-family device walk: a key with the names of its subkeys, and
// string values converted to UTF-16.
#pragma once

#include <vector>

#include "platform/base/types.h"

/// An open key and its subkey names in enumeration order. Owns the key and the names.
class RegistryKeyList {
public:
    RegistryKeyList() = default;
    ~RegistryKeyList();
    RegistryKeyList(const RegistryKeyList&) = delete;
    RegistryKeyList& operator=(const RegistryKeyList&) = delete;

    /// Opens `path` below `parent` for reading and reads its subkey names; false when the key
    /// cannot be opened. Throws std::bad_alloc when a name cannot be stored.
    bool Open(HKEY parent, const WCHAR* path);
    /// Empties the names and closes the key.
    void Close();

    HKEY Key() const { return m_key; }
    const std::vector<BSTR>& Names() const { return m_names; }

private:
    HKEY m_key = nullptr;
    std::vector<BSTR> m_names;
};

/// Opens `path` below `parent` for reading with the narrow call; null on failure.
HKEY OpenKeyForReading(HKEY parent, const WCHAR* path);

/// Reads a REG_SZ or REG_EXPAND_SZ value (not expanded) as a new BSTR into *value. Returns
/// ERROR_SUCCESS, the registry's error, or ERROR_INVALID_DATA for another type or data that
/// does not end with a zero byte. Throws std::bad_alloc when the text cannot be stored.
LONG ReadStringValue(HKEY key, const WCHAR* name, BSTR* value);

/// A new BSTR holding `text` converted to UTF-16 in the conversion code page; throws
/// std::bad_alloc on failure to allocate.
BSTR NarrowToBstr(const char* text);
/// A new BSTR copy of `text`; throws std::bad_alloc on failure to allocate.
BSTR CopyToBstr(const WCHAR* text);
