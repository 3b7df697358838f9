#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "component/contract/kvxrdtct.h"
#include "platform/com/typeinfo.h"
#include "platform/componentframework/dispatch_impl.h"
#include "platform/componentframework/object.h"

using namespace yolt::cf;

namespace {

HRESULT LoadContract(HMODULE, ITypeLib** lib)
{
    std::ifstream in(KVXRDTCT_TLB, std::ios::binary);
    std::vector<BYTE> bytes(std::istreambuf_iterator<char>(in), {});
    return yolt::LoadTypeLibFromMemory(bytes.data(), bytes.size(), lib);
}

std::u16string Take(BSTR text)
{
    std::u16string result = text ? std::u16string(text, SysStringLen(text)) : u"";
    SysFreeString(text);
    return result;
}

struct Member {
    const char16_t* name;
    MEMBERID id;
    INVOKEKIND kind;
    SHORT params;
    const char16_t* help;
};

void ExpectMembers(ITypeLib* lib, REFIID iid, const char16_t* help, std::vector<Member> members)
{
    ITypeInfo* info = nullptr;
    ASSERT_EQ(lib->GetTypeInfoOfGuid(iid, &info), S_OK);
    BSTR doc = nullptr;
    ASSERT_EQ(info->GetDocumentation(MEMBERID_NIL, nullptr, &doc, nullptr, nullptr), S_OK);
    EXPECT_EQ(Take(doc), help);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL);
    ASSERT_EQ(attr->cFuncs, members.size());
    info->ReleaseTypeAttr(attr);
    for (UINT i = 0; i < members.size(); ++i) {
        FUNCDESC* desc = nullptr;
        ASSERT_EQ(info->GetFuncDesc(i, &desc), S_OK);
        BSTR name = nullptr, memberHelp = nullptr;
        info->GetDocumentation(desc->memid, &name, &memberHelp, nullptr, nullptr);
        std::u16string memberName = Take(name);
        EXPECT_EQ(memberName, members[i].name);
        SCOPED_TRACE(std::string(memberName.begin(), memberName.end()));
        EXPECT_EQ(desc->memid, members[i].id);
        EXPECT_EQ(desc->invkind, members[i].kind);
        EXPECT_EQ(desc->cParams, members[i].params);
        EXPECT_EQ(desc->oVft, static_cast<SHORT>((7 + i) * sizeof(void*))) << "slot " << 7 + i;
        EXPECT_EQ(Take(memberHelp), members[i].help);
        info->ReleaseFuncDesc(desc);
    }
    info->Release();
}

TEST(Contract, TypeLibraryDescribesTheContract)
{
    ITypeLib* lib = nullptr;
    ASSERT_EQ(LoadContract(nullptr, &lib), S_OK);
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
    EXPECT_EQ(attr->guid, LIBID_KVXRDTCT);
    EXPECT_EQ(attr->wMajorVerNum, KVXRDTCT_MajorVersion);
    EXPECT_EQ(attr->wMinorVerNum, KVXRDTCT_MinorVersion);
    EXPECT_EQ(attr->lcid, KVXRDTCT_Lcid);
    lib->ReleaseTLibAttr(attr);
    BSTR name = nullptr, doc = nullptr;
    ASSERT_EQ(lib->GetDocumentation(-1, &name, &doc, nullptr, nullptr), S_OK);
    EXPECT_EQ(Take(name), u"KVXRDTCT");
    EXPECT_EQ(Take(doc), u"KVXRDTCT 1.0 Type Library");

    const INVOKEKIND get = INVOKE_PROPERTYGET, call = INVOKE_FUNC;
    ExpectMembers(lib, IID_IKVXRDevice, u"IKVXRDevice Interface",
        {{u"Model", 1, get, 1, u"property Model"}, {u"ModelName", 2, get, 1, u"property ModelName"},
            {u"FullName", 3, get, 1, u"property FullName"}, {u"Manufacturer", 4, get, 1, u"property Manufacturer"},
            {u"DrivePath", 5, get, 1, u"property DrivePath"},
            {u"SupportFeature", 6, get, 1, u"property SupportFeature"}, {u"Recover", 7, call, 0, u"method Recover"},
            {u"FWUpgrade", 8, call, 1, u"method FWUpgrade"}, {u"Eject", 9, call, 0, u"method Eject"},
            {u"FormatDlg", 10, call, 4, u"method FormatDlg"}});
    ExpectMembers(lib, IID_IKVXRDetect, u"IKVXRDetect Interface",
        {{u"GetDeviceCount", 1, call, 1, u"method GetDeviceCount"}, {u"GetDevice", 2, call, 2, u"method GetDevice"},
            {u"Recover", 3, call, 2, u"method Recover"}, {u"EjectAll", 4, call, 0, u"method EjectAll"}});
    ExpectMembers(lib, IID_IKVAbout, u"IKVAbout Interface", {{u"GetAboutString", 0x60020000, call, 2, u""}});
    ExpectMembers(lib, IID_IKVLocale, u"IKVLocale Interface",
        {{u"SetLocale", 0x60020000, call, 1, u""}, {u"GetLocale", 0x60020001, call, 1, u""}});

    // The detector class lists IKVXRDetect (default), IKVAbout, IKVLocale in this order.
    ITypeInfo* detect = nullptr;
    ASSERT_EQ(lib->GetTypeInfoOfGuid(CLSID_CKVXRDetect, &detect), S_OK);
    const IID* expected[] = {&IID_IKVXRDetect, &IID_IKVAbout, &IID_IKVLocale};
    for (UINT i = 0; i < 3; ++i) {
        HREFTYPE ref = 0;
        INT flags = 0;
        ITypeInfo* implemented = nullptr;
        ASSERT_EQ(detect->GetRefTypeOfImplType(i, &ref), S_OK);
        ASSERT_EQ(detect->GetImplTypeFlags(i, &flags), S_OK);
        EXPECT_EQ(flags, i == 0 ? IMPLTYPEFLAG_FDEFAULT : 0);
        ASSERT_EQ(detect->GetRefTypeInfo(ref, &implemented), S_OK);
        TYPEATTR* implementedAttr = nullptr;
        implemented->GetTypeAttr(&implementedAttr);
        EXPECT_EQ(implementedAttr->guid, *expected[i]);
        implemented->ReleaseTypeAttr(implementedAttr);
        implemented->Release();
    }
    detect->Release();
    lib->Release();
}

// A device object of the test: fixed properties, and a record of what the methods received.
class TestDevice : public IDispatchImpl<IKVXRDevice, &IID_IKVXRDevice> {
public:
    IUnknown* GetInterface(REFIID iid)
    {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IKVXRDevice)
            return static_cast<IKVXRDevice*>(this);
        return nullptr;
    }
    std::u16string upgradePath;
    ULONG format[4] = {};

    STDMETHODIMP get_Model(KVXRModelType* pVal) override { *pVal = eMODEL_PX410; return S_OK; }
    STDMETHODIMP get_ModelName(BSTR* pVal) override { *pVal = SysAllocString(u"PX410"); return S_OK; }
    STDMETHODIMP get_FullName(BSTR* pVal) override { *pVal = SysAllocString(u"YOLT PX410 (G:)"); return S_OK; }
    STDMETHODIMP get_Manufacturer(BSTR* pVal) override { *pVal = SysAllocString(u"YOLT"); return S_OK; }
    STDMETHODIMP get_DrivePath(BSTR* pVal) override { *pVal = SysAllocString(u"G:\\"); return S_OK; }
    STDMETHODIMP get_SupportFeature(KVXRSupportFeature* pVal) override
    {
        *pVal = static_cast<KVXRSupportFeature>(feature_FWUpgrade | feature_Radio | feature_Logo);
        return S_OK;
    }
    STDMETHODIMP Recover() override { return S_OK; }
    STDMETHODIMP FWUpgrade(BSTR path) override { upgradePath = path ? path : u""; return S_OK; }
    STDMETHODIMP Eject() override { return S_FALSE; }
    STDMETHODIMP FormatDlg(ULONG a, ULONG b, ULONG c, ULONG d) override
    {
        format[0] = a, format[1] = b, format[2] = c, format[3] = d;
        return S_OK;
    }
};

const ClassEntry kClasses[] = {
    {&CLSID_CKVXRDevice, &CreateInstance<TestDevice>, "KVXRDTCT.KVXRDevice.1", "KVXRDTCT.KVXRDevice", "CKVXRDevice Object"},
};

class LateBoundDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(CreateInstance<TestDevice>(nullptr, IID_IDispatch, reinterpret_cast<void**>(&device)), S_OK);
    }
    void TearDown() override
    {
        VariantClear(&result);
        device->Release();
        EXPECT_EQ(module.CanUnloadNow(), S_OK);
    }
    DISPID Id(const char16_t* name)
    {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID id = 0;
        EXPECT_EQ(device->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
        return id;
    }
    HRESULT Call(DISPID id, WORD flags, std::vector<VARIANT> reversedArgs)
    {
        VariantClear(&result);
        argErr = 99;
        DISPPARAMS params = {reversedArgs.data(), nullptr, static_cast<UINT>(reversedArgs.size()), 0};
        HRESULT hr = device->Invoke(id, IID_NULL, 0, flags, &params, &result, nullptr, &argErr);
        for (VARIANT& v : reversedArgs)
            VariantClear(&v);
        return hr;
    }

    ComponentModule module{kClasses, LIBID_KVXRDTCT, 1, 0, 0x409, &LoadContract};
    IDispatch* device = nullptr;
    VARIANT result{};
    UINT argErr = 0;
};

VARIANT I2(SHORT v) { VARIANT x; VariantInit(&x); x.vt = VT_I2; x.iVal = v; return x; }
VARIANT Str(const char16_t* s) { VARIANT x; VariantInit(&x); x.vt = VT_BSTR; x.bstrVal = SysAllocString(s); return x; }

TEST_F(LateBoundDevice, ReadsPropertiesAndCallsMethodsByName)
{
    ASSERT_EQ(Call(Id(u"model"), DISPATCH_PROPERTYGET, {}), S_OK);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, eMODEL_PX410);
    ASSERT_EQ(Call(Id(u"FullName"), DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}), S_OK);
    ASSERT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(std::u16string(result.bstrVal), u"YOLT PX410 (G:)");
    ASSERT_EQ(Call(Id(u"SupportFeature"), DISPATCH_PROPERTYGET, {}), S_OK);
    EXPECT_EQ(result.lVal, 7);

    auto* typed = static_cast<TestDevice*>(static_cast<IKVXRDevice*>(device));
    ASSERT_EQ(Call(8, DISPATCH_METHOD, {Str(u"Z:\\fw\\PX410.kvu")}), S_OK);
    EXPECT_EQ(typed->upgradePath, u"Z:\\fw\\PX410.kvu");
    // Four arguments, last first: a VT_I2 and a numeric text become ULONGs.
    ASSERT_EQ(Call(Id(u"FormatDlg"), DISPATCH_METHOD, {I2(4), Str(u"1"), I2(2), Str(u"1000")}), S_OK);
    EXPECT_EQ(typed->format[0], 1000u);
    EXPECT_EQ(typed->format[1], 2u);
    EXPECT_EQ(typed->format[2], 1u);
    EXPECT_EQ(typed->format[3], 4u);
    EXPECT_EQ(Call(9, DISPATCH_METHOD, {}), S_FALSE);
}

TEST_F(LateBoundDevice, RejectsUnknownNamesAndUnfitArguments)
{
    LPOLESTR names[] = {const_cast<LPOLESTR>(u"Format")};
    DISPID id = 0;
    EXPECT_EQ(device->GetIDsOfNames(IID_NULL, names, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);

    EXPECT_EQ(Call(8, DISPATCH_METHOD, {Str(u"a"), Str(u"b")}), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(10, DISPATCH_METHOD, {I2(1), I2(1), I2(1), I2(1), I2(1)}), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(10, DISPATCH_METHOD, {I2(1), I2(1), Str(u"quick"), I2(1)}), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 2u) << "the position of the failing argument in rgvarg";
    EXPECT_EQ(Call(11, DISPATCH_METHOD, {}), DISP_E_MEMBERNOTFOUND);
}

}  // namespace
