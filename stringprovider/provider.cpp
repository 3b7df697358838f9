// KVXRSTR.dll: the optional string provider, an in-process server of one class that serves the
// KVXRDTCT component's message texts in German and French.
#include <atomic>
#include <new>
#include <tuple>
#include <string>

#include "component/contract/string_provider.h"
#include "platform/base/bstr.h"
#include "platform/base/guid.h"
#include "platform/kernel/modules.h"
#include "platform/registry/registry.h"
#include "stringprovider/texts.h"

#define KVXRSTR_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::atomic<LONG> g_locks{0};
HMODULE g_module = nullptr;

constexpr const char* kProgId = "KVXRSTR.StringProvider";
constexpr const char* kFriendlyName = "KVXR String Provider";

class StringProvider final : public IKVXRStringProvider {
public:
    StringProvider() { ++g_locks; }
    ~StringProvider() { --g_locks; }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_IKVXRStringProvider)
            return E_NOINTERFACE;
        *object = static_cast<IKVXRStringProvider*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override
    {
        ULONG left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }

    // The provider is called through its vtable only; it offers no type information.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override
    {
        if (info)
            *info = nullptr;
        return DISP_E_BADINDEX;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return DISP_E_MEMBERNOTFOUND;
    }

    STDMETHODIMP GetLanguageCount(ULONG* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 2;
        return S_OK;
    }

    STDMETHODIMP GetString(ULONG locale, ULONG id, BSTR* text) override
    {
        if (!text)
            return E_POINTER;
        *text = nullptr;
        const WCHAR* found = FindTranslatedText(locale, id);
        if (!found)
            return S_FALSE;
        *text = SysAllocString(found);
        return *text ? S_OK : E_OUTOFMEMORY;
    }

private:
    ULONG m_refs = 0;
};

class Factory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory)
            return E_NOINTERFACE;
        *object = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        auto* provider = new (std::nothrow) StringProvider;
        if (!provider)
            return E_OUTOFMEMORY;
        provider->AddRef();
        HRESULT hr = provider->QueryInterface(iid, object);
        provider->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        g_locks += lock ? 1 : -1;
        return S_OK;
    }
};

Factory g_factory;

LONG SetText(const std::string& path, const char* name, const std::string& value)
{
    HKEY key = nullptr;
    LONG error = RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
        nullptr, &key, nullptr);
    if (error != ERROR_SUCCESS)
        return error;
    error = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
        static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return error;
}

}  // namespace

KVXRSTR_EXPORT BOOL DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        g_module = reinterpret_cast<HMODULE>(instance);
    return TRUE;
}

KVXRSTR_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (clsid != CLSID_KVXRStringProvider)
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, object);
}

KVXRSTR_EXPORT HRESULT DllCanUnloadNow()
{
    return g_locks == 0 ? S_OK : S_FALSE;
}

KVXRSTR_EXPORT HRESULT DllRegisterServer()
{
    char path[MAX_PATH] = {};
    if (!GetModuleFileNameA(g_module, path, MAX_PATH))
        return E_FAIL;
    std::string clsid = "CLSID\\" + yolt::GuidToString(CLSID_KVXRStringProvider);
    const std::string progId = kProgId;
    LONG error = ERROR_SUCCESS;
    for (auto [key, name, value] : {
             std::tuple<std::string, const char*, std::string>{clsid, nullptr, kFriendlyName},
             {clsid + "\\InprocServer32", nullptr, path},
             {clsid + "\\InprocServer32", "ThreadingModel", "apartment"},
             {clsid + "\\ProgID", nullptr, progId},
             {progId, nullptr, kFriendlyName},
             {progId + "\\CLSID", nullptr, yolt::GuidToString(CLSID_KVXRStringProvider)},
         }) {
        if ((error = SetText(key, name, value)) != ERROR_SUCCESS)
            return HRESULT_FROM_WIN32(error);
    }
    return S_OK;
}

KVXRSTR_EXPORT HRESULT DllUnregisterServer()
{
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ("CLSID\\" + yolt::GuidToString(CLSID_KVXRStringProvider)).c_str());
    RegDeleteTreeA(HKEY_CLASSES_ROOT, kProgId);
    return S_OK;
}
