#include "platform/com/variant.h"

#include "platform/base/bstr.h"
#include "platform/com/dispatch.h"

namespace {

// Whether this system knows the base type (for clearing and copying).
bool IsKnownType(VARTYPE vt)
{
    switch (vt & VT_TYPEMASK) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_ERROR:
    case VT_BOOL:
    case VT_VARIANT:
    case VT_UNKNOWN:
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
        return true;
    default:
        return false;
    }
}

bool IsValidType(VARTYPE vt)
{
    if (vt & (VT_ARRAY | VT_RESERVED))
        return false;  // arrays are not used by the contract
    if (!IsKnownType(vt))
        return false;
    // A plain VT_VARIANT exists only as a reference.
    return (vt & VT_BYREF) || (vt & VT_TYPEMASK) != VT_VARIANT;
}

}  // namespace

extern "C" {

void VariantInit(VARIANTARG* value)
{
    if (value)
        value->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANTARG* value)
{
    if (!value)
        return E_INVALIDARG;
    if (!IsValidType(value->vt))
        return DISP_E_BADVARTYPE;
    switch (value->vt) {
    case VT_BSTR:
        SysFreeString(value->bstrVal);
        break;
    case VT_UNKNOWN:
    case VT_DISPATCH:
        if (value->punkVal)
            value->punkVal->Release();
        break;
    default:
        break;
    }
    value->vt = VT_EMPTY;
    value->llVal = 0;
    return S_OK;
}

HRESULT VariantCopy(VARIANTARG* dest, const VARIANTARG* source)
{
    if (!dest || !source)
        return E_INVALIDARG;
    if (!IsValidType(source->vt))
        return DISP_E_BADVARTYPE;
    if (dest == source)
        return S_OK;
    HRESULT hr = VariantClear(dest);
    if (FAILED(hr))
        return hr;
    VARIANT copy = *source;
    if (source->vt == VT_BSTR && source->bstrVal) {
        copy.bstrVal = SysAllocStringByteLen(reinterpret_cast<const char*>(source->bstrVal),
            SysStringByteLen(source->bstrVal));
        if (!copy.bstrVal)
            return E_OUTOFMEMORY;
    }
    if ((source->vt == VT_UNKNOWN || source->vt == VT_DISPATCH) && source->punkVal)
        source->punkVal->AddRef();
    *dest = copy;
    return S_OK;
}

HRESULT VariantCopyInd(VARIANT* dest, const VARIANTARG* source)
{
    if (!dest || !source)
        return E_INVALIDARG;
    if (!(source->vt & VT_BYREF))
        return VariantCopy(dest, source);
    if (!IsValidType(source->vt))
        return DISP_E_BADVARTYPE;
    if (!source->byref)
        return E_INVALIDARG;
    VARIANT value;
    VariantInit(&value);
    VARTYPE base = source->vt & VT_TYPEMASK;
    switch (base) {
    case VT_VARIANT:
        return VariantCopyInd(dest, source->pvarVal);
    case VT_I1:
    case VT_UI1:
        value.bVal = *source->pbVal;
        break;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
        value.iVal = *source->piVal;
        break;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_ERROR:
    case VT_R4:
        value.lVal = *source->plVal;
        break;
    default:  // eight bytes, strings and interfaces
        value.llVal = *source->pllVal;
        break;
    }
    value.vt = base;
    // Copy from the dereferenced value, which the reference's target still owns.
    VARIANT copy;
    VariantInit(&copy);
    HRESULT hr = VariantCopy(&copy, &value);
    if (FAILED(hr))
        return hr;
    hr = VariantClear(dest);
    if (FAILED(hr)) {
        VariantClear(&copy);
        return hr;
    }
    *dest = copy;
    return S_OK;
}

}  // extern "C"
