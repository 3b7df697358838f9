// IDispatch of a dual interface answered from the component's type information, and
// IProvideClassInfo for a class of the component's type library.
#pragma once

#include "platform/componentframework/module.h"

namespace yolt::cf {

/// Implements IDispatch for `Interface` (identifier *Iid): names and calls go through the
/// interface's type information, which calls the vtable slots of this object.
template <class Interface, const IID* Iid>
class IDispatchImpl : public Interface {
public:
    /// Reports 1; E_POINTER for a null pointer.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 1;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override
    {
        if (!info)
            return E_POINTER;
        *info = nullptr;
        if (index != 0)
            return DISP_E_BADINDEX;
        return ComponentModule::Current()->GetTypeInfo(*Iid, info);
    }
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        if (iid != IID_NULL)
            return DISP_E_UNKNOWNINTERFACE;
        ITypeInfo* info = nullptr;
        HRESULT hr = ComponentModule::Current()->GetTypeInfo(*Iid, &info);
        if (FAILED(hr))
            return hr;
        hr = info->GetIDsOfNames(names, count, ids);
        info->Release();
        return hr;
    }
    STDMETHODIMP Invoke(DISPID member, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
        EXCEPINFO* exception, UINT* argError) override
    {
        if (iid != IID_NULL)
            return DISP_E_UNKNOWNINTERFACE;
        ITypeInfo* info = nullptr;
        HRESULT hr = ComponentModule::Current()->GetTypeInfo(*Iid, &info);
        if (FAILED(hr))
            return hr;
        hr = info->Invoke(static_cast<Interface*>(this), member, flags, params, result, exception, argError);
        info->Release();
        return hr;
    }

protected:
    ~IDispatchImpl() = default;
};

/// Implements IProvideClassInfo for the class *Clsid of the component's type library.
template <const CLSID* Clsid>
class IProvideClassInfoImpl : public IProvideClassInfo {
public:
    STDMETHODIMP GetClassInfo(ITypeInfo** info) override
    {
        if (!info)
            return E_POINTER;
        *info = nullptr;
        return ComponentModule::Current()->GetTypeInfo(*Clsid, info);
    }

protected:
    ~IProvideClassInfoImpl() = default;
};

}  // namespace yolt::cf
