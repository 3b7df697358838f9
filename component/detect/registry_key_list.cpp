#include "component/detect/registry_key_list.h"

#include <cstring>
#include <new>
#include <string>

#include "platform/base/bstr.h"
#include "platform/base/errors.h"
#include "platform/kernel/codepages.h"
#include "platform/registry/registry.h"
#include "shared/platform_record.h"
#include "shared/text_conversion.h"

namespace {

}  // namespace

BSTR NarrowToBstr(const char* text)
{
    int units = MultiByteToWideChar(ConversionCodePage(), 0, text, -1, nullptr, 0);
    if (units <= 0)
        units = 1;
    BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(units - 1));
    if (!result)
        throw std::bad_alloc();
    if (units > 1)
        MultiByteToWideChar(ConversionCodePage(), 0, text, -1, result, units);
    result[units - 1] = 0;
    return result;
}

BSTR CopyToBstr(const WCHAR* text)
{
    BSTR result = SysAllocString(text);
    if (!result)
        throw std::bad_alloc();
    return result;
}

HKEY OpenKeyForReading(HKEY parent, const WCHAR* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, NarrowFromWide(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

RegistryKeyList::~RegistryKeyList()
{
    Close();
}

bool RegistryKeyList::Open(HKEY parent, const WCHAR* path)
{
    Close();
    m_key = OpenKeyForReading(parent, path);
    if (!m_key)
        return false;
    char name[2048];
    for (DWORD index = 0;; ++index) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(m_key, index, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        m_names.push_back(NarrowToBstr(name));
    }
    return true;
}

void RegistryKeyList::Close()
{
    for (BSTR name : m_names)
        SysFreeString(name);
    m_names.clear();
    if (m_key) {
        RegCloseKey(m_key);
        m_key = nullptr;
    }
}

LONG ReadStringValue(HKEY key, const WCHAR* name, BSTR* value)
{
    char data[4096];
    DWORD size = sizeof data;
    DWORD type = 0;
    LONG status = RegQueryValueExA(key, NarrowFromWide(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    if (status != ERROR_SUCCESS)
        return status;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size == 0 || data[size - 1] != '\0')
        return ERROR_INVALID_DATA;
    *value = NarrowToBstr(data);
    return ERROR_SUCCESS;
}
