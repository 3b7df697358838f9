// VariantChangeType: conversions between the numeric types, booleans, texts and interfaces.
// A value is first read into a neutral form (number, boolean, text, interface) and then
// written in the target type, so each pair of types needs no code of its own.
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/base/bstr.h"
#include "platform/base/wtext.h"
#include "platform/com/dispatch.h"
#include "platform/com/variant.h"

namespace {

enum class Kind { Empty, Null, Integer, Float, Bool, Text, Error, Interface };

struct Value {
    Kind kind = Kind::Empty;
    long double number = 0;  // Integer, Float, Bool (-1 or 0)
    std::u16string text;
    SCODE scode = 0;
    IUnknown* object = nullptr;  // borrowed from the source
    bool isDispatch = false;
    VARTYPE sourceType = VT_EMPTY;
};

HRESULT ReadValue(const VARIANT& v, Value& out)
{
    out.sourceType = v.vt;
    switch (v.vt) {
    case VT_EMPTY: out.kind = Kind::Empty; return S_OK;
    case VT_NULL: out.kind = Kind::Null; return S_OK;
    case VT_I1: out.kind = Kind::Integer; out.number = v.cVal; return S_OK;
    case VT_UI1: out.kind = Kind::Integer; out.number = v.bVal; return S_OK;
    case VT_I2: out.kind = Kind::Integer; out.number = v.iVal; return S_OK;
    case VT_UI2: out.kind = Kind::Integer; out.number = v.uiVal; return S_OK;
    case VT_I4:
    case VT_INT: out.kind = Kind::Integer; out.number = v.lVal; return S_OK;
    case VT_UI4:
    case VT_UINT: out.kind = Kind::Integer; out.number = v.ulVal; return S_OK;
    case VT_I8: out.kind = Kind::Integer; out.number = v.llVal; return S_OK;
    case VT_UI8: out.kind = Kind::Integer; out.number = v.ullVal; return S_OK;
    case VT_R4: out.kind = Kind::Float; out.number = v.fltVal; return S_OK;
    case VT_R8: out.kind = Kind::Float; out.number = v.dblVal; return S_OK;
    case VT_BOOL: out.kind = Kind::Bool; out.number = v.boolVal ? -1 : 0; return S_OK;
    case VT_ERROR: out.kind = Kind::Error; out.scode = v.scode; return S_OK;
    case VT_BSTR:
        out.kind = Kind::Text;
        if (v.bstrVal)
            out.text.assign(v.bstrVal, SysStringLen(v.bstrVal));
        return S_OK;
    case VT_UNKNOWN:
    case VT_DISPATCH:
        out.kind = Kind::Interface;
        out.object = v.punkVal;
        out.isDispatch = v.vt == VT_DISPATCH;
        return S_OK;
    default:
        return DISP_E_BADVARTYPE;
    }
}

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// A decimal number with optional sign, fraction and exponent, between optional blanks.
bool ParseNumber(std::u16string_view text, long double& number)
{
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    std::string ascii;
    size_t i = 0;
    auto digits = [&] {
        size_t start = i;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9')
            ascii += static_cast<char>(text[i++]);
        return i - start;
    };
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ascii += static_cast<char>(text[i++]);
    size_t mantissa = digits();
    if (i < text.size() && text[i] == u'.') {
        ascii += '.';
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        ascii += 'e';
        ++i;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            ascii += static_cast<char>(text[i++]);
        if (digits() == 0)
            return false;
    }
    if (i != text.size())
        return false;
    number = std::strtold(ascii.c_str(), nullptr);
    return std::isfinite(number);
}

bool MatchesWord(std::u16string_view text, std::u16string_view word)
{
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    if (text.size() != word.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i) {
        if (yolt::AsciiUpper(text[i]) != yolt::AsciiUpper(word[i]))
            return false;
    }
    return true;
}

HRESULT ConvertValue(const Value& value, LCID lcid, USHORT flags, VARTYPE vt, VARIANT& out);

// The value of an object's default property, for converting an object to a plain value.
HRESULT DefaultPropertyValue(const Value& value, LCID lcid, USHORT flags, VARTYPE vt, VARIANT& out)
{
    if (!value.isDispatch || !value.object || (flags & VARIANT_NOVALUEPROP))
        return DISP_E_TYPEMISMATCH;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VARIANT property;
    VariantInit(&property);
    auto* dispatch = reinterpret_cast<IDispatch*>(value.object);
    HRESULT hr = dispatch->Invoke(DISPID_VALUE, IID_NULL, lcid, DISPATCH_PROPERTYGET, &none, &property, nullptr, nullptr);
    if (FAILED(hr))
        return DISP_E_TYPEMISMATCH;
    Value inner;
    hr = ReadValue(property, inner);
    if (SUCCEEDED(hr))
        hr = ConvertValue(inner, lcid, flags | VARIANT_NOVALUEPROP, vt, out);
    VariantClear(&property);
    return hr;
}

// The number a value stands for, for the numeric and boolean targets.
HRESULT NumberOf(const Value& value, long double& number)
{
    switch (value.kind) {
    case Kind::Empty: number = 0; return S_OK;
    case Kind::Integer:
    case Kind::Float:
    case Kind::Bool: number = value.number; return S_OK;
    case Kind::Text: return ParseNumber(value.text, number) ? S_OK : DISP_E_TYPEMISMATCH;
    default: return DISP_E_TYPEMISMATCH;
    }
}

HRESULT ToInteger(long double number, long double low, long double high, long long& integer, unsigned long long& unsignedValue)
{
    long double rounded = std::nearbyintl(number);  // halves go to the even neighbour
    if (rounded < low || rounded > high)
        return DISP_E_OVERFLOW;
    if (rounded >= 0)
        unsignedValue = static_cast<unsigned long long>(rounded);
    integer = rounded >= 0 ? static_cast<long long>(unsignedValue) : static_cast<long long>(rounded);
    return S_OK;
}

HRESULT ToNumeric(long double number, VARTYPE vt, VARIANT& out)
{
    long long i = 0;
    unsigned long long u = 0;
    HRESULT hr = S_OK;
    switch (vt) {
    case VT_I1: hr = ToInteger(number, -128.0L, 127.0L, i, u); out.cVal = static_cast<CHAR>(i); break;
    case VT_UI1: hr = ToInteger(number, 0, 255.0L, i, u); out.bVal = static_cast<BYTE>(u); break;
    case VT_I2: hr = ToInteger(number, -32768.0L, 32767.0L, i, u); out.iVal = static_cast<SHORT>(i); break;
    case VT_UI2: hr = ToInteger(number, 0, 65535.0L, i, u); out.uiVal = static_cast<USHORT>(u); break;
    case VT_I4:
    case VT_INT: hr = ToInteger(number, -2147483648.0L, 2147483647.0L, i, u); out.lVal = static_cast<LONG>(i); break;
    case VT_UI4:
    case VT_UINT: hr = ToInteger(number, 0, 4294967295.0L, i, u); out.ulVal = static_cast<ULONG>(u); break;
    case VT_I8: hr = ToInteger(number, -9223372036854775808.0L, 9223372036854775807.0L, i, u); out.llVal = i; break;
    case VT_UI8: hr = ToInteger(number, 0, 18446744073709551615.0L, i, u); out.ullVal = u; break;
    case VT_R4:
        if (std::fabs(number) > FLT_MAX)
            return DISP_E_OVERFLOW;
        out.fltVal = static_cast<FLOAT>(number);
        break;
    case VT_R8:
        if (std::fabs(number) > DBL_MAX)
            return DISP_E_OVERFLOW;
        out.dblVal = static_cast<DOUBLE>(number);
        break;
    default: return DISP_E_BADVARTYPE;
    }
    if (FAILED(hr))
        return hr;
    out.vt = vt;
    return S_OK;
}

HRESULT ToText(const Value& value, USHORT flags, VARIANT& out)
{
    std::string ascii;
    char buffer[64];
    switch (value.kind) {
    case Kind::Empty: break;
    case Kind::Text: {
        BSTR copy = SysAllocStringLen(value.text.data(), static_cast<UINT>(value.text.size()));
        if (!copy)
            return E_OUTOFMEMORY;
        out.vt = VT_BSTR;
        out.bstrVal = copy;
        return S_OK;
    }
    case Kind::Integer:
        if (value.number < 0)
            std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(value.number));
        else
            std::snprintf(buffer, sizeof buffer, "%llu", static_cast<unsigned long long>(value.number));
        ascii = buffer;
        break;
    case Kind::Float:
        std::snprintf(buffer, sizeof buffer, value.sourceType == VT_R4 ? "%.7G" : "%.15G",
            static_cast<double>(value.number));
        ascii = buffer;
        break;
    case Kind::Bool:
        if (flags & (VARIANT_ALPHABOOL | VARIANT_LOCALBOOL))
            ascii = value.number ? "True" : "False";
        else
            ascii = value.number ? "-1" : "0";
        break;
    default: return DISP_E_TYPEMISMATCH;
    }
    std::u16string wide(ascii.begin(), ascii.end());
    BSTR text = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!text)
        return E_OUTOFMEMORY;
    out.vt = VT_BSTR;
    out.bstrVal = text;
    return S_OK;
}

HRESULT ToInterface(const Value& value, VARTYPE vt, VARIANT& out)
{
    if (value.kind == Kind::Empty) {
        out.vt = vt;
        out.punkVal = nullptr;
        return S_OK;
    }
    if (value.kind != Kind::Interface)
        return DISP_E_TYPEMISMATCH;
    if (!value.object) {
        out.vt = vt;
        out.punkVal = nullptr;
        return S_OK;
    }
    void* object = nullptr;
    HRESULT hr = value.object->QueryInterface(vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown, &object);
    if (FAILED(hr) || !object)
        return DISP_E_TYPEMISMATCH;
    out.vt = vt;
    out.punkVal = static_cast<IUnknown*>(object);
    return S_OK;
}

HRESULT ConvertValue(const Value& value, LCID lcid, USHORT flags, VARTYPE vt, VARIANT& out)
{
    if (value.kind == Kind::Interface && vt != VT_DISPATCH && vt != VT_UNKNOWN && vt != VT_EMPTY)
        return DefaultPropertyValue(value, lcid, flags, vt, out);
    switch (vt) {
    case VT_EMPTY:
        out.vt = VT_EMPTY;
        return S_OK;
    case VT_NULL:
        if (value.kind != Kind::Null && value.kind != Kind::Empty)
            return DISP_E_TYPEMISMATCH;
        out.vt = VT_NULL;
        return S_OK;
    case VT_ERROR:
        if (value.kind != Kind::Error)
            return DISP_E_TYPEMISMATCH;
        out.vt = VT_ERROR;
        out.scode = value.scode;
        return S_OK;
    case VT_BOOL: {
        long double number = 0;
        if (value.kind == Kind::Text && MatchesWord(value.text, u"True"))
            number = 1;
        else if (value.kind == Kind::Text && MatchesWord(value.text, u"False"))
            number = 0;
        else if (HRESULT hr = NumberOf(value, number); FAILED(hr))
            return hr;
        out.vt = VT_BOOL;
        out.boolVal = number != 0 ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    case VT_BSTR:
        return ToText(value, flags, out);
    case VT_DISPATCH:
    case VT_UNKNOWN:
        return ToInterface(value, vt, out);
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_I4:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_R8: {
        long double number = 0;
        if (HRESULT hr = NumberOf(value, number); FAILED(hr))
            return hr;
        return ToNumeric(number, vt, out);
    }
    default:
        return DISP_E_BADVARTYPE;
    }
}

}  // namespace

extern "C" {

HRESULT VariantChangeTypeEx(VARIANTARG* dest, const VARIANTARG* source, LCID lcid, USHORT flags, VARTYPE vt)
{
    if (!dest || !source)
        return E_INVALIDARG;
    if (vt & (VT_BYREF | VT_ARRAY | VT_RESERVED))
        return DISP_E_BADVARTYPE;
    const VARIANT* from = source;
    if (from->vt == (VT_BYREF | VT_VARIANT)) {
        if (!from->pvarVal)
            return E_INVALIDARG;
        from = from->pvarVal;
    }
    VARIANT plain;
    VariantInit(&plain);
    if (from->vt & VT_BYREF) {
        // Reading the referenced value borrows it; nothing is copied until the conversion.
        if (!from->byref)
            return E_INVALIDARG;
        VARTYPE base = from->vt & VT_TYPEMASK;
        switch (base) {
        case VT_I1:
        case VT_UI1: plain.bVal = *from->pbVal; break;
        case VT_I2:
        case VT_UI2:
        case VT_BOOL: plain.iVal = *from->piVal; break;
        case VT_I4:
        case VT_UI4:
        case VT_INT:
        case VT_UINT:
        case VT_ERROR:
        case VT_R4: plain.lVal = *from->plVal; break;
        case VT_I8:
        case VT_UI8:
        case VT_R8:
        case VT_BSTR:
        case VT_UNKNOWN:
        case VT_DISPATCH: plain.llVal = *from->pllVal; break;
        default: return DISP_E_BADVARTYPE;
        }
        plain.vt = base;
        from = &plain;
    }
    Value value;
    HRESULT hr = ReadValue(*from, value);
    if (FAILED(hr))
        return hr;
    VARIANT out;
    VariantInit(&out);
    out.llVal = 0;
    hr = ConvertValue(value, lcid, flags, vt, out);
    if (FAILED(hr))
        return hr;
    if (dest == source)
        VariantClear(dest);
    else if (HRESULT cleared = VariantClear(dest); FAILED(cleared)) {
        VariantClear(&out);
        return cleared;
    }
    *dest = out;
    return S_OK;
}

HRESULT VariantChangeType(VARIANTARG* dest, const VARIANTARG* source, USHORT flags, VARTYPE vt)
{
    return VariantChangeTypeEx(dest, source, 0x409, flags, vt);
}

}  // extern "C"
