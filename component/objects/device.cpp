#include "component/objects/device.h"

#include <new>

#include "component/detect/known_model.h"
#include "component/detect/registry_key_list.h"
#include "component/objects/describe_model.h"
#include "component/objects/format_driver_call.h"
#include "component/operations/eject.h"
#include "component/operations/install_package.h"
#include "platform/base/bstr.h"
#include "platform/base/wtext.h"
#include "platform/com/variant.h"

namespace {

// Names the device answers in GetIDsOfNames, in lookup order: members give their dispatch
// identifier, parameters their position.
struct MemberName {
    const WCHAR* name;
    DISPID id;
};
constexpr MemberName kMemberNames[] = {
    {u"Model", 1}, {u"pVal", 0}, {u"get_Model", 1}, {u"ModelName", 2}, {u"get_ModelName", 2},
    {u"FullName", 3}, {u"get_FullName", 3}, {u"Manufacturer", 4}, {u"get_Manufacturer", 4},
    {u"DrivePath", 5}, {u"get_DrivePath", 5}, {u"SupportFeature", 6}, {u"get_SupportFeature", 6},
    {u"Recover", 7}, {u"bstrUpgradeFilePath", 0}, {u"FWUpgrade", 8}, {u"Eject", 9}, {u"ulAppInstance", 0},
    {u"ulAppThreadID", 1}, {u"ulQuickFormat", 2}, {u"ulhMainWnd", 3}, {u"FormatDlg", 10},
};

// Arguments each member takes.
UINT ParameterCount(DISPID member)
{
    switch (member) {
    case 8:
        return 1;
    case 10:
        return 4;
    default:
        return 0;
    }
}

// A copy of a stored text for the caller: null for a null text, E_OUTOFMEMORY when it cannot be
// allocated.
HRESULT CopyOut(BSTR stored, BSTR* pVal)
{
    if (!pVal)
        return E_INVALIDARG;
    *pVal = nullptr;
    if (!stored)
        return S_OK;
    *pVal = SysAllocStringByteLen(reinterpret_cast<const char*>(stored), SysStringByteLen(stored));
    return *pVal ? S_OK : E_OUTOFMEMORY;
}

BSTR NewText(const WCHAR* text)
{
    BSTR copy = SysAllocString(text);
    if (!copy)
        throw std::bad_alloc();
    return copy;
}

}  // namespace

CKVXRDevice::~CKVXRDevice()
{
    SysFreeString(m_drivePath);
    SysFreeString(m_modelName);
    SysFreeString(m_manufacturer);
    SysFreeString(m_fullName);
}

IUnknown* CKVXRDevice::GetInterface(REFIID iid)
{
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IKVXRDevice)
        return static_cast<IKVXRDevice*>(this);
    if (iid == IID_IProvideClassInfo)
        return static_cast<IProvideClassInfo*>(this);
    return nullptr;
}

void CKVXRDevice::SetProperties(KVXRModelType model, const WCHAR* driveRoot)
{
    ModelDescription description = DescribeModel(model, static_cast<char>(driveRoot[0] & 0xFF));
    m_drivePath = NewText(driveRoot);
    m_modelName = NewText(description.modelName);
    m_model = model;
    m_manufacturer = NewText(description.manufacturer);
    m_fullName = NewText(description.fullName);
}

STDMETHODIMP CKVXRDevice::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    ITypeInfo* info = nullptr;
    *count = SUCCEEDED(GetTypeInfo(0, 0, &info)) ? 1 : 0;
    if (info)
        info->Release();
    return S_OK;
}

STDMETHODIMP CKVXRDevice::GetTypeInfo(UINT index, LCID, ITypeInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    if (index != 0)
        return DISP_E_BADINDEX;
    return yolt::cf::ComponentModule::Current()->GetTypeInfo(IID_IKVXRDevice, info);
}

STDMETHODIMP CKVXRDevice::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (!names || !ids)
        return E_POINTER;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        for (const auto& entry : kMemberNames) {
            if (names[i] && _wcsicmp(names[i], entry.name) == 0) {
                ids[i] = entry.id;
                break;
            }
        }
        if (ids[i] == DISPID_UNKNOWN)
            hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

STDMETHODIMP CKVXRDevice::Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
    EXCEPINFO*, UINT* argError)
{
    if (member < 1 || member > 10)
        return DISP_E_MEMBERNOTFOUND;
    UINT count = params ? params->cArgs : 0;
    if (count > 4 || count != ParameterCount(member))
        return DISP_E_BADPARAMCOUNT;
    // Arguments arrive last first; convert each to its parameter's type.
    VARIANT args[4];
    for (UINT i = 0; i < count; ++i)
        VariantInit(&args[i]);
    HRESULT hr = S_OK;
    VARTYPE wanted = member == 8 ? VT_BSTR : VT_UI4;
    for (UINT position = 0; position < count && SUCCEEDED(hr); ++position) {
        UINT index = count - 1 - position;
        hr = VariantChangeType(&args[position], &params->rgvarg[index], 0, wanted);
        if (FAILED(hr)) {
            if (argError)
                *argError = index;
            hr = DISP_E_TYPEMISMATCH;
        }
    }
    if (SUCCEEDED(hr))
        hr = InvokeMember(member, args, count, result, argError);
    for (UINT i = 0; i < count; ++i)
        VariantClear(&args[i]);
    return hr;
}

HRESULT CKVXRDevice::InvokeMember(DISPID member, VARIANT* args, UINT, VARIANT* result, UINT*)
{
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = S_OK;
    switch (member) {
    case 1: {
        KVXRModelType model;
        hr = get_Model(&model);
        value.vt = VT_I4;
        value.lVal = model;
        break;
    }
    case 6: {
        KVXRSupportFeature features;
        hr = get_SupportFeature(&features);
        value.vt = VT_I4;
        value.lVal = features;
        break;
    }
    case 2:
    case 3:
    case 4:
    case 5: {
        BSTR text = nullptr;
        hr = member == 2 ? get_ModelName(&text)
            : member == 3 ? get_FullName(&text)
            : member == 4 ? get_Manufacturer(&text)
                          : get_DrivePath(&text);
        value.vt = VT_BSTR;
        value.bstrVal = text;
        break;
    }
    case 7:
        hr = Recover();
        break;
    case 8:
        hr = FWUpgrade(args[0].bstrVal);
        break;
    case 9:
        hr = Eject();
        break;
    case 10:
        hr = FormatDlg(args[0].ulVal, args[1].ulVal, args[2].ulVal, args[3].ulVal);
        break;
    }
    if (result)
        *result = value;
    else
        VariantClear(&value);
    return hr;
}

STDMETHODIMP CKVXRDevice::get_Model(KVXRModelType* pVal)
{
    if (!pVal)
        return E_INVALIDARG;
    *pVal = m_model;
    return S_OK;
}

STDMETHODIMP CKVXRDevice::get_SupportFeature(KVXRSupportFeature* pVal)
{
    if (!pVal)
        return E_INVALIDARG;
    *pVal = static_cast<KVXRSupportFeature>(SupportFeatureOf(m_model));
    return S_OK;
}

STDMETHODIMP CKVXRDevice::get_ModelName(BSTR* pVal)
{
    return CopyOut(m_modelName, pVal);
}

STDMETHODIMP CKVXRDevice::get_FullName(BSTR* pVal)
{
    return CopyOut(m_fullName, pVal);
}

STDMETHODIMP CKVXRDevice::get_Manufacturer(BSTR* pVal)
{
    return CopyOut(m_manufacturer, pVal);
}

STDMETHODIMP CKVXRDevice::get_DrivePath(BSTR* pVal)
{
    return CopyOut(m_drivePath, pVal);
}

STDMETHODIMP CKVXRDevice::Recover()
{
    return InstallRecoveryPackage(yolt::cf::ComponentModule::Current()->ModuleHandle(), m_drivePath, m_modelName);
}

STDMETHODIMP CKVXRDevice::FWUpgrade(BSTR bstrUpgradeFilePath)
{
    return InstallFirmwarePackage(bstrUpgradeFilePath, m_drivePath, m_modelName);
}

STDMETHODIMP CKVXRDevice::Eject()
{
    return EjectPlayer(m_drivePath);
}

STDMETHODIMP CKVXRDevice::FormatDlg(ULONG ulAppInstance, ULONG ulAppThreadID, ULONG ulQuickFormat, ULONG ulhMainWnd)
{
    return RunComponentFormatDialog(m_model, m_drivePath, m_manufacturer, m_modelName, ulAppInstance, ulAppThreadID,
        ulQuickFormat, ulhMainWnd);
}
