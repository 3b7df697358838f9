// The detector: finds the attached player and hands out device objects; answers About and
// Locale too.
#pragma once

#include "component/contract/kvxrdtct.h"
#include "platform/componentframework/dispatch_impl.h"

class CKVXRDetect : public yolt::cf::IDispatchImpl<IKVXRDetect, &IID_IKVXRDetect>,
                    public yolt::cf::IDispatchImpl<IKVAbout, &IID_IKVAbout>,
                    public yolt::cf::IDispatchImpl<IKVLocale, &IID_IKVLocale>,
                    public yolt::cf::IProvideClassInfoImpl<&CLSID_CKVXRDetect> {
public:
    CKVXRDetect() = default;
    virtual ~CKVXRDetect();

    IUnknown* GetInterface(REFIID iid);

    // IKVXRDetect
    STDMETHODIMP GetDeviceCount(ULONG* pdwCount) override;
    STDMETHODIMP GetDevice(ULONG nDveice, IKVXRDevice** ppDevice) override;
    STDMETHODIMP Recover(BSTR bstrPackageFilePath, BSTR bstrDeviceRootPath) override;
    STDMETHODIMP EjectAll() override;

    // IKVAbout
    STDMETHODIMP GetAboutString(ULONG Locale, BSTR* ppString) override;

    // IKVLocale
    STDMETHODIMP SetLocale(ULONG Locale) override;
    STDMETHODIMP GetLocale(ULONG* pLocale) override;

private:
    BSTR m_recoveryRoot = nullptr;  // the root of the last Recover call
};
