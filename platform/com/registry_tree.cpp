#include "platform/com/registry_tree.h"

#include <vector>

#include "platform/base/errors.h"
#include "platform/registry/registry.h"

namespace yolt {

LONG SetRegistryText(HKEY root, const std::string& path, const char* name, const std::string& text)
{
    HKEY key = nullptr;
    LONG error = RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr);
    if (error != ERROR_SUCCESS)
        return error;
    error = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
        static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
    return error;
}

LONG DeleteRegistryTree(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    LONG error = RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key);
    if (error != ERROR_SUCCESS)
        return error;
    std::vector<std::string> children;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        children.emplace_back(name, size);
    }
    RegCloseKey(key);
    for (const std::string& child : children) {
        error = DeleteRegistryTree(root, path + "\\" + child);
        if (error != ERROR_SUCCESS)
            return error;
    }
    return RegDeleteKeyA(root, path.c_str());
}

bool RegistryKeyIsEmpty(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD subKeys = 0;
    LONG error = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr,
        nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return error == ERROR_SUCCESS && subKeys == 0;
}

}  // namespace yolt
