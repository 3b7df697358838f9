// A registry key held in memory: its values and subkeys in creation order, names matched without
// regard to case. The hives keep their content in these trees, and live keys (built from the
// machine's state) are handed to the registry as such trees.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/types.h"

namespace yolt::registry {

/// A value: its name ("" for the default value), type (REG_*) and data as the wide calls
/// return it (text types in UTF-16LE, with their terminators as stored).
struct Value {
    std::u16string name;
    DWORD type = 0;
    std::vector<BYTE> data;
};

struct Key {
    std::u16string name;
    std::vector<Value> values;
    std::vector<std::unique_ptr<Key>> children;

    Key() = default;
    explicit Key(std::u16string keyName) : name(std::move(keyName)) {}

    /// The subkey of that name (any case), or null.
    Key* FindChild(std::u16string_view childName) const;
    /// The subkey of that name, created (as the last subkey) when missing.
    Key& Child(std::u16string_view childName);
    /// Removes a subkey and everything below it; false when there is none.
    bool RemoveChild(std::u16string_view childName);

    /// The value of that name (any case), or null.
    const Value* FindValue(std::u16string_view valueName) const;
    /// Sets a value, keeping its place when it exists (and its name's spelling changes to this one).
    void SetValue(std::u16string_view valueName, DWORD type, std::vector<BYTE> data);
    /// Convenience setters for building trees: REG_SZ (terminated) and REG_DWORD.
    void SetString(std::u16string_view valueName, std::u16string_view text);
    void SetDword(std::u16string_view valueName, DWORD number);
    bool RemoveValue(std::u16string_view valueName);

    /// A deep copy.
    std::unique_ptr<Key> Clone() const;
};

/// Whether two names are equal without regard to case, as the registry compares them.
bool SameName(std::u16string_view a, std::u16string_view b);

/// REG_SZ data for a text: UTF-16LE with its terminator.
std::vector<BYTE> StringData(std::u16string_view text);

}  // namespace yolt::registry
