#include "component/objects/component_state.h"

#include "platform/com/com_runtime.h"

ULONG g_componentLocale = 0;

namespace {
IKVXRStringProvider* g_stringProvider = nullptr;
bool g_providerTried = false;
}  // namespace

IKVXRStringProvider* ComponentStringProvider()
{
    return g_stringProvider;
}

void CreateComponentStringProvider()
{
    if (g_providerTried)
        return;
    g_providerTried = true;
    CoCreateInstance(CLSID_KVXRStringProvider, nullptr, CLSCTX_INPROC_SERVER, IID_IKVXRStringProvider,
        reinterpret_cast<void**>(&g_stringProvider));
}

void ReleaseComponentStringProvider()
{
    if (g_stringProvider)
        g_stringProvider->Release();
    g_stringProvider = nullptr;
    g_providerTried = false;
}

void SetComponentStringProvider(IKVXRStringProvider* provider)
{
    ReleaseComponentStringProvider();
    if (provider)
        provider->AddRef();
    g_stringProvider = provider;
    g_providerTried = true;
}
