// The component's module object and its four exports and entry point.
#include "component/contract/kvxrdtct.h"
#include "component/objects/component_state.h"
#include "component/objects/detector.h"
#include "component/objects/device.h"
#include "platform/componentframework/module.h"
#include "platform/componentframework/object.h"
#include "platform/kernel/modules.h"
#include "shared/platform_record.h"

#define KVXRDTCT_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

const yolt::cf::ClassEntry kClasses[] = {
    {&CLSID_CKVXRDevice, &yolt::cf::CreateInstance<CKVXRDevice>, "KVXRDTCT.KVXRDevice.1", "KVXRDTCT.KVXRDevice",
        "CKVXRDevice Object"},
    {&CLSID_CKVXRDetect, &yolt::cf::CreateInstance<CKVXRDetect>, "KVXRDTCT.KVXRDetect.1", "KVXRDTCT.KVXRDetect",
        "CKVXRDetect Object"},
};

yolt::cf::ComponentModule g_module(kClasses, LIBID_KVXRDTCT, KVXRDTCT_MajorVersion, KVXRDTCT_MinorVersion,
    KVXRDTCT_Lcid);

}  // namespace

KVXRDTCT_EXPORT BOOL DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    FillOsVersionRecord(g_osVersionRecord);
    if (reason == DLL_PROCESS_ATTACH) {
        g_module.SetModuleHandle(reinterpret_cast<HMODULE>(instance));
        CreateComponentStringProvider();
    } else if (reason == DLL_PROCESS_DETACH) {
        ReleaseComponentStringProvider();
    }
    return TRUE;
}

KVXRDTCT_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    return g_module.GetClassObject(clsid, iid, object);
}

KVXRDTCT_EXPORT HRESULT DllCanUnloadNow()
{
    return g_module.CanUnloadNow();
}

KVXRDTCT_EXPORT HRESULT DllRegisterServer()
{
    return g_module.RegisterServer();
}

KVXRDTCT_EXPORT HRESULT DllUnregisterServer()
{
    return g_module.UnregisterServer();
}
