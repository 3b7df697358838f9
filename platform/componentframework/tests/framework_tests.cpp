#include <gtest/gtest.h>

#include "platform/base/bstr.h"
#include "platform/componentframework/dispatch_impl.h"
#include "platform/componentframework/object.h"
#include "sample_library.h"

using namespace sample;
using namespace yolt::cf;

namespace {

// A class of a test component: ISample (dual) and IProvideClassInfo.
class SampleClass : public IDispatchImpl<ISample, &IID_ISample>, public IProvideClassInfoImpl<&CLSID_Sample> {
public:
    IUnknown* GetInterface(REFIID iid)
    {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_ISample)
            return static_cast<ISample*>(this);
        if (iid == IID_IProvideClassInfo)
            return static_cast<IProvideClassInfo*>(this);
        return nullptr;
    }

    LONG count = 0;
    STDMETHODIMP get_Count(LONG* pVal) override { *pVal = count; return S_OK; }
    STDMETHODIMP put_Count(LONG newVal) override { count = newVal; return S_OK; }
    STDMETHODIMP Add(SHORT a, LONG b, LONG* sum) override { *sum = a + b; return S_OK; }
    STDMETHODIMP Concat(BSTR, BSTR, BSTR* result) override { *result = nullptr; return S_OK; }
    STDMETHODIMP Pick(VARIANT_BOOL, Color* color) override { *color = Red; return S_OK; }
    STDMETHODIMP Bump(ULONG* value) override { ++*value; return S_OK; }
    STDMETHODIMP Fail(LONG code) override { return code; }
    STDMETHODIMP Optional(LONG a, LONG b, LONG* r) override { *r = a + b; return S_OK; }
    STDMETHODIMP Self(ISample** me) override { *me = this; (*me)->AddRef(); return S_OK; }
    STDMETHODIMP Scale(double f, double* r) override { *r = f; return S_OK; }
    STDMETHODIMP Take(ISample*, VARIANT_BOOL* same) override { *same = VARIANT_FALSE; return S_OK; }
};

HRESULT LoadSampleLibrary(HMODULE, ITypeLib** lib)
{
    *lib = LoadSample();
    return *lib ? S_OK : TYPE_E_CANTLOADLIBRARY;
}

const ClassEntry kClasses[] = {
    {&CLSID_Sample, &CreateInstance<SampleClass>, "SampleLib.Sample.1", "SampleLib.Sample", "Sample Object"},
};

class Framework : public ::testing::Test {
protected:
    ComponentModule module{kClasses, LIBID_SampleLib, 2, 3, 0, &LoadSampleLibrary};

    ISample* Create()
    {
        IClassFactory* factory = nullptr;
        EXPECT_EQ(module.GetClassObject(CLSID_Sample, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
        ISample* sample = nullptr;
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_ISample, reinterpret_cast<void**>(&sample)), S_OK);
        factory->Release();
        return sample;
    }
};

TEST_F(Framework, HandsOutOneFactoryPerClass)
{
    void* first = nullptr;
    void* second = nullptr;
    ASSERT_EQ(module.GetClassObject(CLSID_Sample, IID_IClassFactory, &first), S_OK);
    ASSERT_EQ(module.GetClassObject(CLSID_Sample, IID_IUnknown, &second), S_OK);
    EXPECT_EQ(first, second);
    static_cast<IClassFactory*>(first)->Release();
    static_cast<IUnknown*>(second)->Release();

    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(module.GetClassObject(IID_ISample, IID_IClassFactory, &none), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(module.GetClassObject(CLSID_Sample, IID_IClassFactory, nullptr), E_POINTER);
    EXPECT_EQ(module.CanUnloadNow(), S_OK) << "a kept factory does not hold the module";
}

TEST_F(Framework, LiveObjectsAndServerLocksKeepTheModuleLoaded)
{
    ISample* sample = Create();
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
    sample->Release();
    EXPECT_EQ(module.CanUnloadNow(), S_OK);

    IClassFactory* factory = nullptr;
    ASSERT_EQ(module.GetClassObject(CLSID_Sample, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    factory->LockServer(TRUE);
    EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
    factory->LockServer(FALSE);
    EXPECT_EQ(module.CanUnloadNow(), S_OK);

    // A failed query destroys the new object: no lock stays behind.
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_ITypeLib, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(module.CanUnloadNow(), S_OK);
    factory->Release();
}

TEST_F(Framework, QueriesGiveTheSameObjectForEveryInterface)
{
    ISample* sample = Create();
    IDispatch* dispatch = nullptr;
    IUnknown* unknown = nullptr;
    ASSERT_EQ(sample->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
    ASSERT_EQ(sample->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(static_cast<void*>(dispatch), static_cast<void*>(sample));
    EXPECT_EQ(static_cast<void*>(unknown), static_cast<void*>(sample));
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(sample->QueryInterface(IID_ITypeInfo, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    dispatch->Release();
    unknown->Release();
    EXPECT_EQ(sample->Release(), 0u);
}

// An outer object that counts its references and asks the inner one for what it lacks.
struct Outer : IUnknown {
    ULONG refs = 1;
    IUnknown* inner = nullptr;
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown) {
            *object = this;
            AddRef();
            return S_OK;
        }
        return inner->QueryInterface(iid, object);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
};

TEST_F(Framework, AggregatesIntoAnOuterObject)
{
    IClassFactory* factory = nullptr;
    ASSERT_EQ(module.GetClassObject(CLSID_Sample, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    Outer outer;
    void* wrong = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(&outer, IID_ISample, &wrong), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(wrong, nullptr);
    ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)), S_OK);
    factory->Release();

    ISample* sample = nullptr;
    ASSERT_EQ(outer.inner->QueryInterface(IID_ISample, reinterpret_cast<void**>(&sample)), S_OK);
    EXPECT_EQ(outer.refs, 2u) << "the interface's reference belongs to the outer object";
    IUnknown* identity = nullptr;
    ASSERT_EQ(sample->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity, &outer);
    identity->Release();
    sample->Release();
    EXPECT_EQ(outer.refs, 1u);
    EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
    EXPECT_EQ(outer.inner->Release(), 0u);
    EXPECT_EQ(module.CanUnloadNow(), S_OK);
}

TEST_F(Framework, DispatchesThroughTheTypeInformation)
{
    ISample* sample = Create();
    UINT count = 0;
    ASSERT_EQ(sample->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(sample->GetTypeInfoCount(nullptr), E_POINTER);

    LPOLESTR name = const_cast<LPOLESTR>(u"add");
    DISPID id = 0;
    ASSERT_EQ(sample->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
    VARIANT args[2];
    VariantInit(&args[0]);
    VariantInit(&args[1]);
    args[1].vt = VT_I2;
    args[1].iVal = 40;
    args[0].vt = VT_I4;
    args[0].lVal = 2;
    DISPPARAMS params = {args, nullptr, 2, 0};
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(sample->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr), S_OK);
    EXPECT_EQ(result.lVal, 42);
    EXPECT_EQ(sample->Invoke(id, IID_ISample, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr),
        DISP_E_UNKNOWNINTERFACE);

    IProvideClassInfo* provider = nullptr;
    ASSERT_EQ(sample->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(&provider)), S_OK);
    ITypeInfo* info = nullptr;
    ASSERT_EQ(provider->GetClassInfo(&info), S_OK);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->typekind, TKIND_COCLASS);
    EXPECT_EQ(attr->guid, CLSID_Sample);
    info->ReleaseTypeAttr(attr);
    info->Release();
    provider->Release();
    sample->Release();
}

}  // namespace
