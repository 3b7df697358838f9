// Class and interface identifiers in their text forms, and ProgID lookup.
#include "platform/com/com_runtime.h"

#include <optional>

#include "platform/base/wtext.h"
#include "platform/com/class_registry.h"
#include "platform/registry/key_tree.h"
#include "platform/registry/registry.h"

namespace yolt::com {

LONG ReadClassesDefault(const std::u16string& path, std::u16string& text)
{
    HKEY key = nullptr;
    LONG status = RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_QUERY_VALUE, &key);
    if (status != ERROR_SUCCESS)
        return status;
    DWORD type = 0, size = 0;
    status = RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &size);
    if (status == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ)
        status = ERROR_FILE_NOT_FOUND;
    std::u16string buffer(size / 2 + 1, u'\0');
    if (status == ERROR_SUCCESS)
        status = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return status;
    text.assign(buffer.c_str());
    return ERROR_SUCCESS;
}

}  // namespace yolt::com

namespace {

std::optional<GUID> ParseBraced(LPCOLESTR text)
{
    return yolt::GuidFromString(yolt::Utf8FromWide(text));
}

HRESULT CopyToTaskMemory(REFGUID guid, LPOLESTR* text)
{
    if (!text)
        return E_INVALIDARG;
    *text = static_cast<LPOLESTR>(CoTaskMemAlloc(39 * sizeof(OLECHAR)));
    if (!*text)
        return E_OUTOFMEMORY;
    StringFromGUID2(guid, *text, 39);
    return S_OK;
}

// The class identifier in HKCR\<progId>\CLSID; ERROR_* from the registry or ERROR_INVALID_DATA.
LONG ClassOfProgId(const std::u16string& progId, CLSID& clsid)
{
    std::u16string text;
    LONG status = yolt::com::ReadClassesDefault(progId + u"\\CLSID", text);
    if (status != ERROR_SUCCESS)
        return status;
    auto guid = ParseBraced(text.c_str());
    if (!guid)
        return ERROR_INVALID_DATA;
    clsid = *guid;
    return ERROR_SUCCESS;
}

}  // namespace

extern "C" {

HRESULT CLSIDFromProgID(LPCOLESTR progId, LPCLSID clsid)
{
    if (!progId || !clsid)
        return E_INVALIDARG;
    std::u16string name(progId);
    if (name.empty() || name.find(u'\\') != std::u16string::npos)
        return CO_E_CLASSSTRING;
    LONG status = ClassOfProgId(name, *clsid);
    if (status == ERROR_FILE_NOT_FOUND) {
        // A version-independent ProgID without a CLSID of its own names its current version.
        std::u16string current;
        if (yolt::com::ReadClassesDefault(name + u"\\CurVer", current) == ERROR_SUCCESS && !current.empty() &&
            current.find(u'\\') == std::u16string::npos && !yolt::registry::SameName(current, name))
            status = ClassOfProgId(current, *clsid);
    }
    if (status == ERROR_REGISTRY_CORRUPT)
        return REGDB_E_READREGDB;
    return status == ERROR_SUCCESS ? S_OK : CO_E_CLASSSTRING;
}

HRESULT CLSIDFromString(LPCOLESTR text, LPCLSID clsid)
{
    if (!clsid)
        return E_INVALIDARG;
    if (!text) {
        *clsid = GUID_NULL;
        return S_OK;
    }
    if (text[0] == u'{') {
        auto guid = ParseBraced(text);
        if (!guid)
            return CO_E_CLASSSTRING;
        *clsid = *guid;
        return S_OK;
    }
    return CLSIDFromProgID(text, clsid);
}

HRESULT IIDFromString(LPCOLESTR text, LPIID iid)
{
    if (!iid)
        return E_INVALIDARG;
    auto guid = text ? ParseBraced(text) : std::nullopt;
    if (!guid)
        return CO_E_IIDSTRING;
    *iid = *guid;
    return S_OK;
}

int StringFromGUID2(REFGUID guid, LPOLESTR buffer, int size)
{
    if (!buffer || size < 39)
        return 0;
    std::string text = yolt::GuidToString(guid);
    for (size_t i = 0; i < text.size(); ++i)
        buffer[i] = static_cast<OLECHAR>(text[i]);
    buffer[text.size()] = 0;
    return 39;
}

HRESULT StringFromCLSID(REFCLSID clsid, LPOLESTR* text)
{
    return CopyToTaskMemory(clsid, text);
}

HRESULT StringFromIID(REFIID iid, LPOLESTR* text)
{
    return CopyToTaskMemory(iid, text);
}

}  // extern "C"
