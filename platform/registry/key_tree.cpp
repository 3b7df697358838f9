#include "platform/registry/key_tree.h"

#include <algorithm>

#include "platform/base/wtext.h"
#include "platform/registry/registry.h"

namespace yolt::registry {

bool SameName(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldUpper(a[i]) != FoldUpper(b[i]))
            return false;
    }
    return true;
}

std::vector<BYTE> StringData(std::u16string_view text)
{
    std::vector<BYTE> data;
    data.reserve((text.size() + 1) * 2);
    for (char16_t c : text) {
        data.push_back(static_cast<BYTE>(c & 0xFF));
        data.push_back(static_cast<BYTE>(c >> 8));
    }
    data.push_back(0);
    data.push_back(0);
    return data;
}

Key* Key::FindChild(std::u16string_view childName) const
{
    for (auto& child : children) {
        if (SameName(child->name, childName))
            return child.get();
    }
    return nullptr;
}

Key& Key::Child(std::u16string_view childName)
{
    if (Key* existing = FindChild(childName))
        return *existing;
    children.push_back(std::make_unique<Key>(std::u16string(childName)));
    return *children.back();
}

bool Key::RemoveChild(std::u16string_view childName)
{
    auto it = std::find_if(children.begin(), children.end(),
        [&](const std::unique_ptr<Key>& child) { return SameName(child->name, childName); });
    if (it == children.end())
        return false;
    children.erase(it);
    return true;
}

const Value* Key::FindValue(std::u16string_view valueName) const
{
    for (auto& value : values) {
        if (SameName(value.name, valueName))
            return &value;
    }
    return nullptr;
}

void Key::SetValue(std::u16string_view valueName, DWORD type, std::vector<BYTE> data)
{
    for (auto& value : values) {
        if (SameName(value.name, valueName)) {
            value.name = valueName;
            value.type = type;
            value.data = std::move(data);
            return;
        }
    }
    values.push_back(Value{std::u16string(valueName), type, std::move(data)});
}

void Key::SetString(std::u16string_view valueName, std::u16string_view text)
{
    SetValue(valueName, REG_SZ, StringData(text));
}

void Key::SetDword(std::u16string_view valueName, DWORD number)
{
    std::vector<BYTE> data(4);
    for (int i = 0; i < 4; ++i)
        data[i] = static_cast<BYTE>(number >> (8 * i));
    SetValue(valueName, REG_DWORD, std::move(data));
}

bool Key::RemoveValue(std::u16string_view valueName)
{
    auto it = std::find_if(values.begin(), values.end(), [&](const Value& v) { return SameName(v.name, valueName); });
    if (it == values.end())
        return false;
    values.erase(it);
    return true;
}

std::unique_ptr<Key> Key::Clone() const
{
    auto copy = std::make_unique<Key>(name);
    copy->values = values;
    for (auto& child : children)
        copy->children.push_back(child->Clone());
    return copy;
}

}  // namespace yolt::registry
