#include "platform/com/com_runtime.h"

#include <atomic>
#include <cstdlib>

#include "platform/com/class_registry.h"

namespace {

// The calling thread's apartment.
struct Apartment {
    ULONG initialisations = 0;
    ULONG oleInitialisations = 0;
    DWORD kind = COINIT_APARTMENTTHREADED;
};

thread_local Apartment t_apartment;
std::atomic<int> g_apartments{0};

}  // namespace

namespace yolt::com {

bool InApartment() { return t_apartment.initialisations > 0; }

}  // namespace yolt::com

extern "C" {

HRESULT CoInitialize(LPVOID reserved)
{
    return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED);
}

HRESULT CoInitializeEx(LPVOID reserved, DWORD coInit)
{
    DWORD kind = (coInit & COINIT_APARTMENTTHREADED) ? COINIT_APARTMENTTHREADED : COINIT_MULTITHREADED;
    Apartment& apartment = t_apartment;
    if (apartment.initialisations > 0) {
        if (apartment.kind != kind)
            return RPC_E_CHANGED_MODE;
        ++apartment.initialisations;
        return S_FALSE;
    }
    apartment.kind = kind;
    apartment.initialisations = 1;
    ++g_apartments;
    return S_OK;
}

void CoUninitialize()
{
    Apartment& apartment = t_apartment;
    if (apartment.initialisations == 0)
        return;
    if (--apartment.initialisations > 0)
        return;
    if (--g_apartments == 0)
        yolt::com::FreeUnusedServers();
}

HRESULT OleInitialize(LPVOID reserved)
{
    HRESULT hr = CoInitializeEx(reserved, COINIT_APARTMENTTHREADED);
    if (FAILED(hr))
        return hr;
    ++t_apartment.oleInitialisations;
    return hr;
}

void OleUninitialize()
{
    if (t_apartment.oleInitialisations == 0)
        return;
    --t_apartment.oleInitialisations;
    CoUninitialize();
}

LPVOID CoTaskMemAlloc(SIZE_T size)
{
    return std::malloc(size ? size : 1);
}

LPVOID CoTaskMemRealloc(LPVOID block, SIZE_T size)
{
    return std::realloc(block, size ? size : 1);
}

void CoTaskMemFree(LPVOID block)
{
    std::free(block);
}

HRESULT OleRun(LPUNKNOWN object)
{
    if (!object)
        return E_INVALIDARG;
    IRunnableObject* runnable = nullptr;
    if (FAILED(object->QueryInterface(IID_IRunnableObject, reinterpret_cast<void**>(&runnable))) || !runnable)
        return S_OK;
    HRESULT hr = runnable->Run(nullptr);
    runnable->Release();
    return hr;
}

}  // extern "C"
