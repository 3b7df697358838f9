// Class lookup and object creation from in-process servers, and the cache of loaded servers.
#include "platform/com/class_registry.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/base/lasterror.h"
#include "platform/com/com_runtime.h"
#include "platform/kernel/modules.h"

namespace yolt::com {

namespace {

// A server module loaded for class objects; this cache holds one reference to it.
struct Server {
    HMODULE module;
    LPFNCANUNLOADNOW canUnloadNow;  // null: the module stays loaded
};

std::mutex g_serversLock;
std::vector<Server>& Servers()
{
    static auto* servers = new std::vector<Server>;
    return *servers;
}

// The module path of a class's in-process server, or the HRESULT that tells why there is none.
HRESULT ServerPath(REFCLSID clsid, std::u16string& path)
{
    std::u16string key = u"CLSID\\";
    OLECHAR text[39];
    StringFromGUID2(clsid, text, 39);
    key += text;
    key += u"\\InprocServer32";
    LONG status = ReadClassesDefault(key, path);
    if (status == ERROR_REGISTRY_CORRUPT)
        return REGDB_E_READREGDB;
    if (status != ERROR_SUCCESS)
        return REGDB_E_CLASSNOTREG;
    // A path written in quotes is taken without them.
    if (path.size() >= 2 && path.front() == u'"' && path.back() == u'"')
        path = path.substr(1, path.size() - 2);
    return path.empty() ? REGDB_E_CLASSNOTREG : S_OK;
}

// Loads the server (once per process) and returns its DllGetClassObject.
HRESULT LoadServer(const std::u16string& path, LPFNGETCLASSOBJECT& getClassObject)
{
    SetLastError(0);
    HMODULE module = LoadLibraryW(path.c_str());
    if (!module) {
        DWORD error = GetLastError();
        return error ? HRESULT_FROM_WIN32(error) : CO_E_DLLNOTFOUND;
    }
    getClassObject = reinterpret_cast<LPFNGETCLASSOBJECT>(reinterpret_cast<void (*)()>(GetProcAddress(module, "DllGetClassObject")));
    if (!getClassObject) {
        FreeLibrary(module);
        return CO_E_ERRORINDLL;
    }
    std::lock_guard guard(g_serversLock);
    auto& servers = Servers();
    bool known = std::any_of(servers.begin(), servers.end(), [&](const Server& s) { return s.module == module; });
    if (known) {
        FreeLibrary(module);
        return S_OK;
    }
    servers.push_back(Server{module, reinterpret_cast<LPFNCANUNLOADNOW>(reinterpret_cast<void (*)()>(GetProcAddress(module, "DllCanUnloadNow")))});
    return S_OK;
}

}  // namespace

void FreeUnusedServers()
{
    std::vector<Server> unused;
    {
        std::lock_guard guard(g_serversLock);
        auto& servers = Servers();
        auto keep = std::stable_partition(servers.begin(), servers.end(),
            [](const Server& s) { return !s.canUnloadNow || s.canUnloadNow() != S_OK; });
        unused.assign(keep, servers.end());
        servers.erase(keep, servers.end());
    }
    for (auto& server : unused)
        FreeLibrary(server.module);
}

}  // namespace yolt::com

extern "C" {

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, COSERVERINFO* serverInfo, REFIID iid, LPVOID* object)
{
    if (!object)
        return E_INVALIDARG;
    *object = nullptr;
    if (!yolt::com::InApartment())
        return CO_E_NOTINITIALIZED;
    // Only in-process servers are served; a class reachable only another way is not registered here.
    if (!(context & CLSCTX_INPROC_SERVER))
        return REGDB_E_CLASSNOTREG;
    std::u16string path;
    if (HRESULT hr = yolt::com::ServerPath(clsid, path); FAILED(hr))
        return hr;
    LPFNGETCLASSOBJECT getClassObject = nullptr;
    if (HRESULT hr = yolt::com::LoadServer(path, getClassObject); FAILED(hr))
        return hr;
    return getClassObject(clsid, iid, object);
}

HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    IClassFactory* factory = nullptr;
    HRESULT hr = CoGetClassObject(clsid, context, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr))
        return hr;
    if (!factory)
        return E_NOINTERFACE;
    hr = factory->CreateInstance(outer, iid, object);
    factory->Release();
    return hr;
}

void CoFreeUnusedLibraries()
{
    yolt::com::FreeUnusedServers();
}

void CoFreeUnusedLibrariesEx(DWORD delay, DWORD reserved)
{
    yolt::com::FreeUnusedServers();
}

}  // extern "C"
