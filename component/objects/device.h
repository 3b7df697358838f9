// The device object: a snapshot of one attached player (model, names, drive) and the
// operations on it.
#pragma once

#include "component/contract/kvxrdtct.h"
#include "platform/componentframework/dispatch_impl.h"

class CKVXRDevice : public IKVXRDevice, public yolt::cf::IProvideClassInfoImpl<&CLSID_CKVXRDevice> {
public:
    CKVXRDevice() = default;
    virtual ~CKVXRDevice();

    IUnknown* GetInterface(REFIID iid);

    /// Stores the player's properties; throws std::bad_alloc when a text cannot be stored.
    void SetProperties(KVXRModelType model, const WCHAR* driveRoot);

    // IDispatch, answered from the device's own member table.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID member, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
        EXCEPINFO* exception, UINT* argError) override;

    // IKVXRDevice
    STDMETHODIMP get_Model(KVXRModelType* pVal) override;
    STDMETHODIMP get_ModelName(BSTR* pVal) override;
    STDMETHODIMP get_FullName(BSTR* pVal) override;
    STDMETHODIMP get_Manufacturer(BSTR* pVal) override;
    STDMETHODIMP get_DrivePath(BSTR* pVal) override;
    STDMETHODIMP get_SupportFeature(KVXRSupportFeature* pVal) override;
    STDMETHODIMP Recover() override;
    STDMETHODIMP FWUpgrade(BSTR bstrUpgradeFilePath) override;
    STDMETHODIMP Eject() override;
    STDMETHODIMP FormatDlg(ULONG ulAppInstance, ULONG ulAppThreadID, ULONG ulQuickFormat, ULONG ulhMainWnd) override;

private:
    HRESULT InvokeMember(DISPID member, VARIANT* args, UINT count, VARIANT* result, UINT* argError);

    BSTR m_drivePath = nullptr;
    BSTR m_modelName = nullptr;
    BSTR m_manufacturer = nullptr;
    BSTR m_fullName = nullptr;
    KVXRModelType m_model = eMODEL_Unknown;
};
