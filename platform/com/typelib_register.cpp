// RegisterTypeLib and UnRegisterTypeLib: the HKCR\TypeLib and HKCR\Interface keys of a library.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/base/bstr.h"
#include "platform/base/wtext.h"
#include "platform/com/registry_tree.h"
#include "platform/com/typeinfo.h"
#include "platform/registry/registry.h"

namespace {

std::string VersionKey(WORD major, WORD minor)
{
    char text[32];
    std::snprintf(text, sizeof text, "%x.%x", major, minor);
    return text;
}

std::string LocaleKey(LCID lcid)
{
    char text[16];
    std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(lcid));
    return text;
}

std::string LibraryKey(REFGUID libid) { return "TypeLib\\" + yolt::GuidToString(libid); }

std::string Narrow(const std::u16string& text) { return yolt::Utf8FromWide(text); }

std::u16string TakeString(BSTR text)
{
    std::u16string result = text ? std::u16string(text, SysStringLen(text)) : u"";
    SysFreeString(text);
    return result;
}

// The interfaces of a library that automation marshals: dispatch and automation-compatible ones.
struct InterfaceInfo {
    GUID iid;
    std::string name;
};

std::vector<InterfaceInfo> AutomationInterfaces(ITypeLib* lib)
{
    std::vector<InterfaceInfo> interfaces;
    for (UINT i = 0; i < lib->GetTypeInfoCount(); ++i) {
        ITypeInfo* info = nullptr;
        if (FAILED(lib->GetTypeInfo(i, &info)))
            continue;
        TYPEATTR* attr = nullptr;
        if (SUCCEEDED(info->GetTypeAttr(&attr))) {
            bool marshaled = attr->typekind == TKIND_DISPATCH ||
                (attr->typekind == TKIND_INTERFACE && (attr->wTypeFlags & TYPEFLAG_FOLEAUTOMATION));
            if (marshaled) {
                BSTR name = nullptr;
                lib->GetDocumentation(static_cast<INT>(i), &name, nullptr, nullptr, nullptr);
                interfaces.push_back({attr->guid, Narrow(TakeString(name))});
            }
            info->ReleaseTypeAttr(attr);
        }
        info->Release();
    }
    return interfaces;
}

// Whether a version key still names a locale (any subkey besides FLAGS and HELPDIR).
bool HasOtherLocales(const std::string& versionKey)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, versionKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    bool found = false;
    for (DWORD index = 0; !found; ++index) {
        char name[256];
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        std::string child(name, size);
        found = child != "FLAGS" && child != "HELPDIR";
    }
    RegCloseKey(key);
    return found;
}

}  // namespace

extern "C" {

HRESULT RegisterTypeLib(ITypeLib* lib, LPCOLESTR fullPath, LPCOLESTR helpDir)
{
    if (!lib || !fullPath)
        return E_INVALIDARG;
    TLIBATTR* attr = nullptr;
    HRESULT hr = lib->GetLibAttr(&attr);
    if (FAILED(hr))
        return hr;
    TLIBATTR library = *attr;
    lib->ReleaseTLibAttr(attr);

    BSTR name = nullptr, doc = nullptr;
    lib->GetDocumentation(-1, &name, &doc, nullptr, nullptr);
    std::u16string title = TakeString(doc);
    std::u16string libraryName = TakeString(name);
    if (title.empty())
        title = libraryName;
    std::string path = Narrow(fullPath);
    std::string help = helpDir ? Narrow(helpDir) : path.substr(0, path.find_last_of('\\') + 1);
    std::string version = VersionKey(library.wMajorVerNum, library.wMinorVerNum);
    std::string key = LibraryKey(library.guid) + "\\" + version;
    std::string libid = yolt::GuidToString(library.guid);

    bool ok = yolt::SetRegistryText(HKEY_CLASSES_ROOT, key, nullptr, Narrow(title)) == ERROR_SUCCESS &&
        yolt::SetRegistryText(HKEY_CLASSES_ROOT, key + "\\FLAGS", nullptr, std::to_string(library.wLibFlags)) == ERROR_SUCCESS &&
        yolt::SetRegistryText(HKEY_CLASSES_ROOT, key + "\\HELPDIR", nullptr, help) == ERROR_SUCCESS &&
        yolt::SetRegistryText(HKEY_CLASSES_ROOT, key + "\\" + LocaleKey(library.lcid) + "\\win32", nullptr, path) == ERROR_SUCCESS;
    for (const InterfaceInfo& entry : AutomationInterfaces(lib)) {
        std::string interfaceKey = "Interface\\" + yolt::GuidToString(entry.iid);
        std::string marshaler = yolt::GuidToString(CLSID_PSOAInterface);
        ok = ok && yolt::SetRegistryText(HKEY_CLASSES_ROOT, interfaceKey, nullptr, entry.name) == ERROR_SUCCESS &&
            yolt::SetRegistryText(HKEY_CLASSES_ROOT, interfaceKey + "\\ProxyStubClsid", nullptr, marshaler) == ERROR_SUCCESS &&
            yolt::SetRegistryText(HKEY_CLASSES_ROOT, interfaceKey + "\\ProxyStubClsid32", nullptr, marshaler) == ERROR_SUCCESS &&
            yolt::SetRegistryText(HKEY_CLASSES_ROOT, interfaceKey + "\\TypeLib", nullptr, libid) == ERROR_SUCCESS &&
            yolt::SetRegistryText(HKEY_CLASSES_ROOT, interfaceKey + "\\TypeLib", "Version", version) == ERROR_SUCCESS;
    }
    return ok ? S_OK : TYPE_E_REGISTRYACCESS;
}

HRESULT UnRegisterTypeLib(REFGUID libid, WORD major, WORD minor, LCID lcid, SYSKIND)
{
    std::string libraryKey = LibraryKey(libid);
    std::string key = libraryKey + "\\" + VersionKey(major, minor);
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return TYPE_E_REGISTRYACCESS;
    RegCloseKey(opened);

    // The interfaces are those of the registered file; a file that is gone leaves them alone.
    ITypeLib* lib = nullptr;
    if (SUCCEEDED(LoadRegTypeLib(libid, major, minor, lcid, &lib))) {
        for (const InterfaceInfo& entry : AutomationInterfaces(lib))
            yolt::DeleteRegistryTree(HKEY_CLASSES_ROOT, "Interface\\" + yolt::GuidToString(entry.iid));
        lib->Release();
    }
    yolt::DeleteRegistryTree(HKEY_CLASSES_ROOT, key + "\\" + LocaleKey(lcid));
    // The version goes when no other locale is registered under it, the library with its last version.
    if (!HasOtherLocales(key))
        yolt::DeleteRegistryTree(HKEY_CLASSES_ROOT, key);
    if (yolt::RegistryKeyIsEmpty(HKEY_CLASSES_ROOT, libraryKey))
        yolt::DeleteRegistryTree(HKEY_CLASSES_ROOT, libraryKey);
    return S_OK;
}

}  // extern "C"
