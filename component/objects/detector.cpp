#include "component/objects/detector.h"

#include "component/detect/device_probe.h"
#include "component/detect/drive_walk.h"
#include "component/objects/about.h"
#include "component/objects/component_state.h"
#include "component/objects/device.h"
#include "component/operations/eject.h"
#include "component/operations/package_extraction.h"
#include "platform/base/bstr.h"
#include "platform/componentframework/object.h"
#include "platform/kernel/memory.h"

CKVXRDetect::~CKVXRDetect()
{
    SysFreeString(m_recoveryRoot);
}

IUnknown* CKVXRDetect::GetInterface(REFIID iid)
{
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IKVXRDetect)
        return static_cast<IKVXRDetect*>(this);
    if (iid == IID_IKVAbout)
        return static_cast<IKVAbout*>(this);
    if (iid == IID_IKVLocale)
        return static_cast<IKVLocale*>(this);
    if (iid == IID_IProvideClassInfo)
        return static_cast<IProvideClassInfo*>(this);
    return nullptr;
}

STDMETHODIMP CKVXRDetect::GetDeviceCount(ULONG* pdwCount)
{
    if (!pdwCount)
        return E_INVALIDARG;
    try {
        *pdwCount = 0;
        DeviceProbe probe;
        KVXRModelType model = eMODEL_Unknown;
        WCHAR root[260] = {};
        if (FindFirstPlayer(probe, &model, root))
            ++*pdwCount;
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

STDMETHODIMP CKVXRDetect::GetDevice(ULONG nDveice, IKVXRDevice** ppDevice)
{
    try {
        DeviceProbe probe;
        KVXRModelType model = eMODEL_Unknown;
        WCHAR root[260] = {};
        if (!FindFirstPlayer(probe, &model, root) || nDveice != 0)
            return S_FALSE;
        if (!ppDevice)
            return E_POINTER;
        HRESULT hr = yolt::cf::CreateInstance<CKVXRDevice>(nullptr, IID_IKVXRDevice, reinterpret_cast<void**>(ppDevice));
        if (FAILED(hr))
            return hr;
        try {
            static_cast<CKVXRDevice*>(*ppDevice)->SetProperties(model, root);
        } catch (...) {
            // Leave nothing half-made with the caller.
            (*ppDevice)->Release();
            *ppDevice = nullptr;
            return E_FAIL;
        }
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

STDMETHODIMP CKVXRDetect::Recover(BSTR bstrPackageFilePath, BSTR bstrDeviceRootPath)
{
    if (!bstrPackageFilePath || !bstrDeviceRootPath)
        return E_INVALIDARG;
    BSTR root = SysAllocString(bstrDeviceRootPath);
    if (!root)
        return E_OUTOFMEMORY;
    SysFreeString(m_recoveryRoot);
    m_recoveryRoot = root;
    ExtractionContext context;
    context.destinationRoot = m_recoveryRoot;
    return ExtractPackage(bstrPackageFilePath, context);
}

STDMETHODIMP CKVXRDetect::EjectAll()
{
    return EjectAllPlayers();
}

STDMETHODIMP CKVXRDetect::GetAboutString(ULONG, BSTR* ppString)
{
    return BuildAboutString(yolt::cf::ComponentModule::Current()->ModuleHandle(), ppString);
}

STDMETHODIMP CKVXRDetect::SetLocale(ULONG Locale)
{
    g_componentLocale = Locale;
    return S_OK;
}

STDMETHODIMP CKVXRDetect::GetLocale(ULONG* pLocale)
{
    if (!pLocale || IsBadWritePtr(pLocale, sizeof(ULONG)))
        return E_INVALIDARG;
    *pLocale = g_componentLocale;
    return S_OK;
}
