#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/base/bstr.h"
#include "sample_library.h"

using namespace sample;

namespace {

// A plain implementation of ISample whose IDispatch is answered by the sample's type info.
class SampleObject final : public ISample {
public:
    explicit SampleObject(ITypeInfo* info) : m_info(info) { m_info->AddRef(); }
    ~SampleObject() { m_info->Release(); }

    ULONG refs = 1;
    LONG count = 0;
    LONG lastB = -1;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_ISample)
            return E_NOINTERFACE;
        *object = static_cast<ISample*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 1; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override
    {
        *info = m_info;
        m_info->AddRef();
        return S_OK;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT n, LCID, DISPID* ids) override
    {
        return m_info->GetIDsOfNames(names, n, ids);
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* e,
        UINT* argErr) override
    {
        return m_info->Invoke(static_cast<ISample*>(this), id, flags, params, result, e, argErr);
    }

    STDMETHODIMP get_Count(LONG* pVal) override { *pVal = count; return S_OK; }
    STDMETHODIMP put_Count(LONG newVal) override { count = newVal; return S_OK; }
    STDMETHODIMP Add(SHORT a, LONG b, LONG* sum) override { *sum = a + b; return S_OK; }
    STDMETHODIMP Concat(BSTR a, BSTR b, BSTR* result) override
    {
        std::u16string joined = std::u16string(a ? a : u"") + (b ? b : u"");
        *result = SysAllocString(joined.c_str());
        return S_OK;
    }
    STDMETHODIMP Pick(VARIANT_BOOL green, Color* color) override { *color = green ? Green : Red; return S_OK; }
    STDMETHODIMP Bump(ULONG* value) override { *value += 1; return S_OK; }
    STDMETHODIMP Fail(LONG code) override { return code; }
    STDMETHODIMP Optional(LONG a, LONG b, LONG* r) override { lastB = b; *r = a * 10 + b; return S_OK; }
    STDMETHODIMP Self(ISample** me) override { *me = this; AddRef(); return S_OK; }
    STDMETHODIMP Scale(double f, double* r) override { *r = f * 2.5; return S_OK; }
    STDMETHODIMP Take(ISample* other, VARIANT_BOOL* same) override
    {
        *same = other == this ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }

private:
    ITypeInfo* m_info;
};

VARIANT I4(LONG v) { VARIANT x; VariantInit(&x); x.vt = VT_I4; x.lVal = v; return x; }
VARIANT I2(SHORT v) { VARIANT x; VariantInit(&x); x.vt = VT_I2; x.iVal = v; return x; }
VARIANT Str(const char16_t* s) { VARIANT x; VariantInit(&x); x.vt = VT_BSTR; x.bstrVal = SysAllocString(s); return x; }
VARIANT Missing() { VARIANT x; VariantInit(&x); x.vt = VT_ERROR; x.scode = DISP_E_PARAMNOTFOUND; return x; }

class LateBinding : public ::testing::Test {
protected:
    void SetUp() override
    {
        lib = LoadSample();
        ASSERT_NE(lib, nullptr);
        ASSERT_EQ(lib->GetTypeInfoOfGuid(IID_ISample, &info), S_OK);
        object = new SampleObject(info);
    }
    void TearDown() override
    {
        for (VARIANT& v : args)
            VariantClear(&v);
        VariantClear(&result);
        EXPECT_EQ(object->refs, 1u) << "every reference taken during the call is given back";
        delete object;
        info->Release();
        lib->Release();
    }

    // Calls with `given` in caller order (the first argument first).
    HRESULT Call(DISPID id, WORD flags, std::vector<VARIANT> given, std::vector<DISPID> named = {})
    {
        for (VARIANT& v : args)
            VariantClear(&v);
        args.assign(given.rbegin(), given.rend());
        VariantClear(&result);
        argErr = 12345;
        DISPPARAMS params = {args.data(), named.data(), static_cast<UINT>(args.size()), static_cast<UINT>(named.size())};
        exception = EXCEPINFO{};
        return object->Invoke(id, IID_NULL, 0, flags, &params, &result, &exception, &argErr);
    }

    ITypeLib* lib = nullptr;
    ITypeInfo* info = nullptr;
    SampleObject* object = nullptr;
    std::vector<VARIANT> args;
    VARIANT result{};
    EXCEPINFO exception{};
    UINT argErr = 0;
};

TEST_F(LateBinding, GetsAndPutsProperties)
{
    DISPID put = DISPID_PROPERTYPUT;
    ASSERT_EQ(Call(1, DISPATCH_PROPERTYPUT, {Str(u"41")}, {put}), S_OK);
    EXPECT_EQ(object->count, 41);
    ASSERT_EQ(Call(1, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}), S_OK);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, 41);
    EXPECT_EQ(Call(1, DISPATCH_METHOD, {}), DISP_E_MEMBERNOTFOUND) << "a property is not a method";
}

TEST_F(LateBinding, ConvertsArgumentsAndReturnsTheResultValue)
{
    ASSERT_EQ(Call(2, DISPATCH_METHOD, {I2(3), Str(u"39")}), S_OK);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, 42);

    ASSERT_EQ(Call(3, DISPATCH_METHOD, {Str(u"KV"), I4(7)}), S_OK);
    ASSERT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(std::u16string(result.bstrVal), u"KV7");

    ASSERT_EQ(Call(4, DISPATCH_METHOD, {I4(1)}), S_OK);
    EXPECT_EQ(result.vt, VT_I4) << "enumerations come back as 32-bit integers";
    EXPECT_EQ(result.lVal, Green);

    VARIANT f;
    VariantInit(&f);
    f.vt = VT_R8;
    f.dblVal = 1.5;
    ASSERT_EQ(Call(9, DISPATCH_METHOD, {f}), S_OK);
    EXPECT_EQ(result.vt, VT_R8);
    EXPECT_DOUBLE_EQ(result.dblVal, 3.75);
}

TEST_F(LateBinding, PassesReferencesAndInterfaces)
{
    ULONG value = 9;
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_BYREF | VT_UI4;
    ref.pulVal = &value;
    ASSERT_EQ(Call(5, DISPATCH_METHOD, {ref}), S_OK);
    EXPECT_EQ(value, 10u);

    // A reference to a VARIANT receives the out value in the parameter's type.
    VARIANT held = Str(u"20");
    VARIANT varRef;
    VariantInit(&varRef);
    varRef.vt = VT_BYREF | VT_VARIANT;
    varRef.pvarVal = &held;
    ASSERT_EQ(Call(5, DISPATCH_METHOD, {varRef}), S_OK);
    EXPECT_EQ(held.vt, VT_UI4);
    EXPECT_EQ(held.ulVal, 21u);

    IDispatch* me = nullptr;
    VARIANT out;
    VariantInit(&out);
    out.vt = VT_BYREF | VT_DISPATCH;
    out.ppdispVal = &me;
    ASSERT_EQ(Call(8, DISPATCH_METHOD, {out}), S_OK);
    EXPECT_EQ(me, static_cast<IDispatch*>(object));
    me->Release();

    VARIANT self;
    VariantInit(&self);
    self.vt = VT_DISPATCH;
    self.pdispVal = object;
    object->AddRef();
    ASSERT_EQ(Call(10, DISPATCH_METHOD, {self}), S_OK);
    EXPECT_EQ(result.boolVal, VARIANT_TRUE);
}

TEST_F(LateBinding, LeavesOutOptionalArgumentsAndReportsFailures)
{
    ASSERT_EQ(Call(7, DISPATCH_METHOD, {I4(4)}), S_OK);
    EXPECT_EQ(result.lVal, 40);
    ASSERT_EQ(Call(7, DISPATCH_METHOD, {I4(4), Missing()}), S_OK);
    EXPECT_EQ(object->lastB, 0);
    // Named arguments give the parameter's position: rgvarg[0] (5) is b, rgvarg[1] (2) is a.
    ASSERT_EQ(Call(7, DISPATCH_METHOD, {I4(2), I4(5)}, {1, 0}), S_OK);
    EXPECT_EQ(result.lVal, 25);
    EXPECT_EQ(Call(7, DISPATCH_METHOD, {I4(2)}, {5}), DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(argErr, 0u);

    EXPECT_EQ(Call(6, DISPATCH_METHOD, {I4(E_INVALIDARG)}), DISP_E_EXCEPTION);
    EXPECT_EQ(exception.scode, E_INVALIDARG);
    EXPECT_EQ(Call(6, DISPATCH_METHOD, {I4(S_FALSE)}), S_FALSE) << "success codes pass through";
}

TEST_F(LateBinding, RejectsCallsThatDoNotFit)
{
    struct Case {
        const char* name;
        DISPID id;
        std::vector<VARIANT> given;
        HRESULT expected;
        UINT argErr;  // position in rgvarg (last argument first); 12345: not set
    };
    ULONG stored = 0;
    VARIANT wrongRef;
    VariantInit(&wrongRef);
    wrongRef.vt = VT_BYREF | VT_BSTR;
    wrongRef.byref = &stored;
    const Case cases[] = {
        {"unknown member", 99, {}, DISP_E_MEMBERNOTFOUND, 12345},
        {"too many arguments", 2, {I2(1), I4(2), I4(3)}, DISP_E_BADPARAMCOUNT, 12345},
        {"too few arguments", 2, {I2(1)}, DISP_E_BADPARAMCOUNT, 12345},
        {"second argument is no number", 2, {I2(1), Str(u"x")}, DISP_E_TYPEMISMATCH, 0},
        {"first argument is no number", 2, {Str(u"x"), I4(1)}, DISP_E_TYPEMISMATCH, 1},
        {"first argument out of range", 2, {I4(70000), I4(1)}, DISP_E_OVERFLOW, 1},
        {"required argument marked missing", 2, {Missing(), I4(1)}, DISP_E_PARAMNOTOPTIONAL, 1},
        {"reference of another type", 5, {wrongRef}, DISP_E_TYPEMISMATCH, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Call(c.id, DISPATCH_METHOD, c.given), c.expected);
        EXPECT_EQ(argErr, c.argErr);
        EXPECT_EQ(result.vt, VT_EMPTY);
    }
    args.clear();  // wrongRef points at a local and is not owned
}

TEST_F(LateBinding, DropsAResultNobodyAsksFor)
{
    std::vector<VARIANT> given = {Str(u"a"), Str(u"b")};
    std::vector<VARIANT> reversed(given.rbegin(), given.rend());
    DISPPARAMS params = {reversed.data(), nullptr, 2, 0};
    EXPECT_EQ(object->Invoke(3, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
    for (VARIANT& v : reversed)
        VariantClear(&v);
}

}  // namespace
