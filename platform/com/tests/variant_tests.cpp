#include <gtest/gtest.h>

#include <string>

#include "platform/base/bstr.h"
#include "platform/com/dispatch.h"

namespace {

VARIANT Make(VARTYPE vt, LONGLONG bits = 0)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = vt;
    v.llVal = bits;
    return v;
}

VARIANT Text(const char16_t* text)
{
    VARIANT v = Make(VT_BSTR);
    v.bstrVal = SysAllocString(text);
    return v;
}

VARIANT Double(double d)
{
    VARIANT v = Make(VT_R8);
    v.dblVal = d;
    return v;
}

std::u16string TextOf(const VARIANT& v) { return v.bstrVal ? std::u16string(v.bstrVal, SysStringLen(v.bstrVal)) : u""; }

// An object counting its references, answering IUnknown only.
struct Counted : IUnknown {
    ULONG refs = 1;
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        *object = nullptr;
        if (iid != IID_IUnknown)
            return E_NOINTERFACE;
        *object = this;
        ++refs;
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
};

struct NumericCase {
    const char* name;
    VARIANT source;
    VARTYPE target;
    HRESULT expected;
    LONGLONG value;  // the target's value as a signed integer (booleans: -1 / 0)
};

TEST(VariantChangeType, ConvertsBetweenNumbersTextsAndBooleans)
{
    const NumericCase cases[] = {
        {"I2 to I4 keeps the sign", Make(VT_I2, 0xFFFF /* -1 */), VT_I4, S_OK, -1},
        {"numeric text to I4", Text(u" 42 "), VT_I4, S_OK, 42},
        {"negative text to I2", Text(u"-17"), VT_I2, S_OK, -17},
        {"fractional text rounds half to even", Text(u"2.5"), VT_I4, S_OK, 2},
        {"R8 3.5 rounds to 4", Double(3.5), VT_I4, S_OK, 4},
        {"text with exponent", Text(u"1e3"), VT_UI4, S_OK, 1000},
        {"I4 max to UI4", Make(VT_I4, 2147483647), VT_UI4, S_OK, 2147483647},
        {"empty becomes zero", Make(VT_EMPTY), VT_I4, S_OK, 0},
        {"true becomes -1", Make(VT_BOOL, static_cast<USHORT>(VARIANT_TRUE)), VT_I4, S_OK, -1},
        {"nonzero becomes true", Make(VT_I4, 7), VT_BOOL, S_OK, -1},
        {"text True becomes true", Text(u"true"), VT_BOOL, S_OK, -1},
        {"text False becomes false", Text(u"False"), VT_BOOL, S_OK, 0},
        {"40000 overflows I2", Make(VT_I4, 40000), VT_I2, DISP_E_OVERFLOW, 0},
        {"negative overflows UI4", Make(VT_I4, -1), VT_UI4, DISP_E_OVERFLOW, 0},
        {"large text overflows I4", Text(u"3000000000"), VT_I4, DISP_E_OVERFLOW, 0},
        {"word is no number", Text(u"abc"), VT_I4, DISP_E_TYPEMISMATCH, 0},
        {"trailing garbage is no number", Text(u"12x"), VT_I4, DISP_E_TYPEMISMATCH, 0},
        {"hexadecimal float is no number", Text(u"0x10"), VT_I4, DISP_E_TYPEMISMATCH, 0},
        {"empty text is no number", Text(u""), VT_I4, DISP_E_TYPEMISMATCH, 0},
        {"null is no number", Make(VT_NULL), VT_I4, DISP_E_TYPEMISMATCH, 0},
        {"error is no number", Make(VT_ERROR, static_cast<LONG>(DISP_E_PARAMNOTFOUND)), VT_I4, DISP_E_TYPEMISMATCH, 0},
        {"dates are not converted", Make(VT_I4, 1), VT_DATE, DISP_E_BADVARTYPE, 0},
    };
    for (const NumericCase& c : cases) {
        SCOPED_TRACE(c.name);
        VARIANT source = c.source;
        VARIANT dest = Make(VT_I2, 99);
        HRESULT hr = VariantChangeType(&dest, &source, 0, c.target);
        EXPECT_EQ(hr, c.expected);
        if (SUCCEEDED(hr)) {
            EXPECT_EQ(dest.vt, c.target);
            LONGLONG got = c.target == VT_I2 ? dest.iVal : c.target == VT_BOOL ? dest.boolVal
                : c.target == VT_UI4 ? static_cast<LONGLONG>(dest.ulVal) : dest.lVal;
            EXPECT_EQ(got, c.value);
        } else {
            EXPECT_EQ(dest.vt, VT_I2) << "a failed conversion leaves the target alone";
            EXPECT_EQ(dest.iVal, 99);
        }
        VariantClear(&source);
        VariantClear(&dest);
    }
}

TEST(VariantChangeType, WritesNumbersAndBooleansAsText)
{
    struct Case {
        VARIANT source;
        USHORT flags;
        const char16_t* expected;
    } cases[] = {
        {Make(VT_I4, -123), 0, u"-123"},
        {Make(VT_UI4, 4000000000LL), 0, u"4000000000"},
        {Double(0.1), 0, u"0.1"},
        {Double(2.5), 0, u"2.5"},
        {Make(VT_BOOL, static_cast<USHORT>(VARIANT_TRUE)), 0, u"-1"},
        {Make(VT_BOOL, static_cast<USHORT>(VARIANT_TRUE)), VARIANT_ALPHABOOL, u"True"},
        {Make(VT_EMPTY), 0, u""},
    };
    for (auto& c : cases) {
        VARIANT dest;
        VariantInit(&dest);
        ASSERT_EQ(VariantChangeType(&dest, &c.source, c.flags, VT_BSTR), S_OK);
        EXPECT_EQ(dest.vt, VT_BSTR);
        EXPECT_EQ(TextOf(dest), c.expected);
        VariantClear(&dest);
    }
}

TEST(VariantChangeType, ConvertsInPlaceAndThroughReferences)
{
    VARIANT v = Text(u"77");
    ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_I4), S_OK);
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 77);

    SHORT stored = 12;
    VARIANT ref = Make(VT_BYREF | VT_I2);
    ref.piVal = &stored;
    VARIANT dest;
    VariantInit(&dest);
    ASSERT_EQ(VariantChangeType(&dest, &ref, 0, VT_BSTR), S_OK);
    EXPECT_EQ(TextOf(dest), u"12");
    VariantClear(&dest);

    VARIANT inner = Make(VT_I4, 5);
    VARIANT varRef = Make(VT_BYREF | VT_VARIANT);
    varRef.pvarVal = &inner;
    ASSERT_EQ(VariantChangeType(&dest, &varRef, 0, VT_UI4), S_OK);
    EXPECT_EQ(dest.ulVal, 5u);
}

TEST(VariantChangeType, InterfacesConvertOnlyToInterfaces)
{
    Counted object;
    VARIANT unk = Make(VT_UNKNOWN);
    unk.punkVal = &object;
    VARIANT dest;
    VariantInit(&dest);
    EXPECT_EQ(VariantChangeType(&dest, &unk, 0, VT_DISPATCH), DISP_E_TYPEMISMATCH) << "no IDispatch";
    EXPECT_EQ(VariantChangeType(&dest, &unk, 0, VT_I4), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(VariantChangeType(&dest, &unk, 0, VT_UNKNOWN), S_OK);
    EXPECT_EQ(object.refs, 2u);
    VariantClear(&dest);
    EXPECT_EQ(object.refs, 1u);
}

TEST(VariantCopy, DuplicatesStringsAndCountsInterfaceReferences)
{
    VARIANT source = Make(VT_BSTR);
    source.bstrVal = SysAllocStringLen(u"a\0b", 3);  // embedded zero survives the copy
    VARIANT dest = Text(u"old");
    ASSERT_EQ(VariantCopy(&dest, &source), S_OK);
    EXPECT_NE(dest.bstrVal, source.bstrVal);
    EXPECT_EQ(SysStringLen(dest.bstrVal), 3u);
    VariantClear(&source);
    VariantClear(&dest);
    EXPECT_EQ(dest.vt, VT_EMPTY);

    Counted object;
    VARIANT unk = Make(VT_UNKNOWN);
    unk.punkVal = &object;
    ASSERT_EQ(VariantCopy(&dest, &unk), S_OK);
    EXPECT_EQ(object.refs, 2u);
    VariantClear(&dest);
    EXPECT_EQ(object.refs, 1u);

    LONG stored = 9;
    VARIANT ref = Make(VT_BYREF | VT_I4);
    ref.plVal = &stored;
    ASSERT_EQ(VariantCopy(&dest, &ref), S_OK);
    EXPECT_EQ(dest.plVal, &stored) << "a reference is copied as a reference";
    ASSERT_EQ(VariantCopyInd(&dest, &ref), S_OK);
    EXPECT_EQ(dest.vt, VT_I4);
    EXPECT_EQ(dest.lVal, 9);
}

TEST(VariantClear, RejectsUnknownTypes)
{
    VARIANT v = Make(0x0FFF);
    EXPECT_EQ(VariantClear(&v), DISP_E_BADVARTYPE);
    v = Make(VT_VARIANT);
    EXPECT_EQ(VariantClear(&v), DISP_E_BADVARTYPE) << "VT_VARIANT exists only as a reference";
}

}  // namespace
