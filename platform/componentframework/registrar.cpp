// Registration of a component: the keys of its classes and its type library, written through
// the registry's narrow calls, and the type library found through the component's own file.
#include "platform/componentframework/module.h"

#include <string>

#include "platform/base/wtext.h"
#include "platform/com/registry_tree.h"
#include "platform/kernel/modules.h"
#include "platform/registry/registry.h"

namespace yolt::cf {

namespace {

const char kAnchor = 0;  // an address inside the module that holds this code

HRESULT FromRegistryError(LONG error) { return error == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(error); }

// A missing key is already what unregistration wants.
HRESULT DeleteIfPresent(const std::string& path)
{
    LONG error = DeleteRegistryTree(HKEY_CLASSES_ROOT, path);
    return error == ERROR_FILE_NOT_FOUND ? S_OK : FromRegistryError(error);
}

LONG CreateEmptyKey(const std::string& path)
{
    HKEY key = nullptr;
    LONG error = RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
        nullptr, &key, nullptr);
    if (error == ERROR_SUCCESS)
        RegCloseKey(key);
    return error;
}

}  // namespace

HRESULT LoadModuleTypeLib(HMODULE module, ITypeLib** lib)
{
    if (!module)
        module = ModuleFromAddress(&kAnchor);
    WCHAR path[MAX_PATH] = {};
    if (GetModuleFileNameW(module, path, MAX_PATH) == 0)
        return TYPE_E_CANTLOADLIBRARY;
    return LoadTypeLib(path, lib);
}

HMODULE ComponentModule::ModuleHandle() const { return m_module ? m_module : ModuleFromAddress(&kAnchor); }

HRESULT ComponentModule::RegisterClass(const ClassEntry& entry, const std::string& path)
{
    const std::string clsid = GuidToString(*entry.clsid);
    const std::string versioned = entry.progId;
    const std::string independent = entry.versionIndependentProgId;
    const std::string name = entry.friendlyName;
    const std::string classKey = "CLSID\\" + clsid;
    struct Value {
        std::string key;
        const char* name;
        std::string text;
    };
    const Value values[] = {
        {versioned, nullptr, name},
        {versioned + "\\CLSID", nullptr, clsid},
        {independent, nullptr, name},
        {independent + "\\CLSID", nullptr, clsid},
        {independent + "\\CurVer", nullptr, versioned},
        {classKey, nullptr, name},
        {classKey + "\\ProgID", nullptr, versioned},
        {classKey + "\\VersionIndependentProgID", nullptr, independent},
        {classKey + "\\InprocServer32", nullptr, path},
        {classKey + "\\InprocServer32", "ThreadingModel", "apartment"},
        {classKey + "\\TypeLib", nullptr, GuidToString(m_libid)},
    };
    for (const Value& value : values) {
        LONG error = SetRegistryText(HKEY_CLASSES_ROOT, value.key, value.name, value.text);
        if (error != ERROR_SUCCESS)
            return FromRegistryError(error);
    }
    return FromRegistryError(CreateEmptyKey(classKey + "\\Programmable"));
}

HRESULT ComponentModule::UnregisterClass(const ClassEntry& entry)
{
    for (const std::string& key : {std::string(entry.progId), std::string(entry.versionIndependentProgId),
             "CLSID\\" + GuidToString(*entry.clsid)}) {
        HRESULT hr = DeleteIfPresent(key);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT ComponentModule::RegisterServer()
{
    char path[MAX_PATH] = {};
    if (GetModuleFileNameA(ModuleHandle(), path, MAX_PATH) == 0)
        return SELFREG_E_CLASS;
    for (const ClassEntry& entry : m_classes) {
        HRESULT hr = RegisterClass(entry, path);
        if (FAILED(hr))
            return hr;
    }
    ITypeLib* lib = nullptr;
    HRESULT hr = m_loader ? m_loader(m_module, &lib) : TYPE_E_CANTLOADLIBRARY;
    if (FAILED(hr))
        return hr;
    WCHAR widePath[MAX_PATH] = {};
    GetModuleFileNameW(ModuleHandle(), widePath, MAX_PATH);
    std::u16string folder(widePath);
    folder.resize(folder.find_last_of(u'\\') + 1);
    hr = RegisterTypeLib(lib, widePath, folder.c_str());
    lib->Release();
    return hr;
}

HRESULT ComponentModule::UnregisterServer()
{
    for (const ClassEntry& entry : m_classes) {
        HRESULT hr = UnregisterClass(entry);
        if (FAILED(hr))
            return hr;
    }
    return UnRegisterTypeLib(m_libid, m_major, m_minor, m_lcid, SYS_WIN32);
}

}  // namespace yolt::cf
