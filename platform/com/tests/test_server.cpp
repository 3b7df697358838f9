// A tiny in-process server: class TestThing with ProgIDs "Yolt.TestThing" (current version
// "Yolt.TestThing.1"), a class factory, a module lock count, and self-registration.
#include "platform/com/tests/test_server.h"

#include <atomic>
#include <string>

#include "platform/kernel/modules.h"
#include "platform/registry/registry.h"

namespace {

std::atomic<LONG> g_locks{0};

class TestThing final : public ITestThing, public IRunnableObject {
public:
    TestThing() { ++g_locks; }
    ~TestThing() { --g_locks; }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_ITestThing)
            *object = static_cast<ITestThing*>(this);
        else if (iid == IID_IRunnableObject)
            *object = static_cast<IRunnableObject*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_references; }
    STDMETHODIMP_(ULONG) Release() override
    {
        ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }
    STDMETHODIMP Add(LONG a, LONG b, LONG* sum) override
    {
        if (!sum)
            return E_POINTER;
        *sum = a + b;
        return S_OK;
    }
    STDMETHODIMP IsRunning(BOOL* running) override
    {
        *running = m_running;
        return S_OK;
    }

    STDMETHODIMP GetRunningClass(LPCLSID clsid) override
    {
        *clsid = CLSID_TestThing;
        return S_OK;
    }
    STDMETHODIMP Run(LPBINDCTX) override
    {
        m_running = TRUE;
        return S_OK;
    }
    STDMETHODIMP_(BOOL) IsRunning() override { return m_running; }
    STDMETHODIMP LockRunning(BOOL, BOOL) override { return S_OK; }
    STDMETHODIMP SetContainedObject(BOOL) override { return S_OK; }

private:
    ULONG m_references = 1;
    BOOL m_running = FALSE;
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
        *object = this;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++g_locks; }
    STDMETHODIMP_(ULONG) Release() override { return --g_locks; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        auto* thing = new TestThing;
        HRESULT hr = thing->QueryInterface(iid, object);
        static_cast<ITestThing*>(thing)->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        lock ? ++g_locks : --g_locks;
        return S_OK;
    }
};

Factory g_factory;

LONG SetDefault(const std::u16string& path, const std::u16string& value, const char16_t* name = nullptr)
{
    HKEY key = nullptr;
    LONG status = RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS)
        return status;
    status = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
        static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
    RegCloseKey(key);
    return status;
}

std::u16string ClassKey()
{
    OLECHAR text[39];
    StringFromGUID2(CLSID_TestThing, text, 39);
    return std::u16string(u"CLSID\\") + text;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (clsid != CLSID_TestThing)
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, object);
}

extern "C" __attribute__((visibility("default"))) HRESULT DllCanUnloadNow()
{
    return g_locks == 0 ? S_OK : S_FALSE;
}

extern "C" __attribute__((visibility("default"))) HRESULT DllRegisterServer()
{
    char16_t path[1024] = {};
    if (!GetModuleFileNameW(yolt::ModuleFromAddress(reinterpret_cast<const void*>(&DllRegisterServer)), path, 1024))
        return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    OLECHAR clsid[39];
    StringFromGUID2(CLSID_TestThing, clsid, 39);
    const std::u16string progId = kTestThingProgId;
    const std::u16string versioned = progId + u".1";
    LONG status = ERROR_SUCCESS;
    for (auto& [key, value] : {std::pair{versioned, std::u16string(u"Test Thing")}, {versioned + u"\\CLSID", clsid},
             {progId, u"Test Thing"}, {progId + u"\\CurVer", versioned}, {ClassKey(), u"Test Thing"},
             {ClassKey() + u"\\ProgID", versioned}, {ClassKey() + u"\\InprocServer32", path}}) {
        if (status == ERROR_SUCCESS)
            status = SetDefault(key, value);
    }
    if (status == ERROR_SUCCESS)
        status = SetDefault(ClassKey() + u"\\InprocServer32", u"apartment", u"ThreadingModel");
    return HRESULT_FROM_WIN32(static_cast<DWORD>(status));
}

extern "C" __attribute__((visibility("default"))) HRESULT DllUnregisterServer()
{
    const std::u16string progId = kTestThingProgId;
    for (const std::u16string& key : {progId + u".1", progId, ClassKey()}) {
        LONG status = RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
            return HRESULT_FROM_WIN32(static_cast<DWORD>(status));
    }
    return S_OK;
}
