#include <fstream>
#include <sstream>

#include "component/tests/component_fixture.h"
#include "platform/com/dispatch.h"
#include "platform/com/typeinfo.h"
#include "platform/com/variant.h"
#include "platform/registry/registry.h"

using namespace componenttest;

namespace {

using GetClassObjectFn = HRESULT (*)(REFCLSID, REFIID, void**);

std::string HiveText(const std::filesystem::path& folder)
{
    std::ifstream in(folder / "registry" / "HKLM.reg");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool KeyExists(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

class Server : public ComponentTest {
protected:
    void SetUp() override { Start("xp", {}); }
};

}  // namespace

TEST_F(Server, ClassFactoriesAreServedOncePerClass)
{
    auto getClassObject = reinterpret_cast<GetClassObjectFn>(GetProcAddress(module, "DllGetClassObject"));
    ASSERT_NE(getClassObject, nullptr);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject(IID_IDispatch, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(getClassObject(CLSID_CKVXRDetect, IID_IClassFactory, nullptr), E_POINTER);

    Ref<IClassFactory> first, second;
    ASSERT_EQ(getClassObject(CLSID_CKVXRDetect, IID_IClassFactory, first.Void()), S_OK);
    ASSERT_EQ(getClassObject(CLSID_CKVXRDetect, IID_IClassFactory, second.Void()), S_OK);
    EXPECT_EQ(first.p, second.p);
}

TEST_F(Server, CanUnloadOnlyWithoutLiveObjects)
{
    auto canUnload = reinterpret_cast<HRESULT (*)()>(GetProcAddress(module, "DllCanUnloadNow"));
    ASSERT_NE(canUnload, nullptr);
    EXPECT_EQ(canUnload(), S_OK);
    {
        Ref<IKVXRDetect> detector;
        CreateDetector(detector);
        EXPECT_EQ(canUnload(), S_FALSE);
        Ref<IKVXRDevice> device;
        ASSERT_EQ(CoCreateInstance(CLSID_CKVXRDevice, nullptr, CLSCTX_ALL, IID_IKVXRDevice, device.Void()), S_OK);
        detector.Reset();
        EXPECT_EQ(canUnload(), S_FALSE);
    }
    EXPECT_EQ(canUnload(), S_OK);
}

TEST_F(Server, RegistrationIsStableAndUnregistrationComplete)
{
    std::string once = HiveText(machine->Folder());
    auto registerServer = reinterpret_cast<HRESULT (*)()>(GetProcAddress(module, "DllRegisterServer"));
    ASSERT_EQ(registerServer(), S_OK);
    EXPECT_EQ(HiveText(machine->Folder()), once);

    char value[64] = {};
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "KVXRDTCT.KVXRDetect\\CurVer", 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD bytes = sizeof value;
    ASSERT_EQ(RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &bytes), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_STREQ(value, "KVXRDTCT.KVXRDetect.1");

    std::string clsidKey = "CLSID\\" + yolt::GuidToString(CLSID_CKVXRDetect);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, (clsidKey + "\\InprocServer32").c_str(), 0, KEY_READ, &key),
        ERROR_SUCCESS);
    bytes = sizeof value;
    ASSERT_EQ(RegQueryValueExA(key, "ThreadingModel", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &bytes),
        ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_STREQ(value, "apartment");

    auto unregisterServer = reinterpret_cast<HRESULT (*)()>(GetProcAddress(module, "DllUnregisterServer"));
    ASSERT_EQ(unregisterServer(), S_OK);
    for (const std::string& path : {clsidKey, "CLSID\\" + yolt::GuidToString(CLSID_CKVXRDevice),
             std::string("KVXRDTCT.KVXRDetect"), std::string("KVXRDTCT.KVXRDetect.1"),
             std::string("KVXRDTCT.KVXRDevice"), std::string("KVXRDTCT.KVXRDevice.1")})
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, path)) << path;
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID"));
}

TEST_F(Server, ObjectsAnswerTheirInterfaces)
{
    Ref<IKVXRDetect> detector;
    CreateDetector(detector);
    Ref<IKVAbout> about;
    Ref<IKVLocale> locale;
    Ref<IDispatch> dispatch;
    Ref<IProvideClassInfo> classInfo;
    EXPECT_EQ(detector->QueryInterface(IID_IKVAbout, about.Void()), S_OK);
    EXPECT_EQ(detector->QueryInterface(IID_IKVLocale, locale.Void()), S_OK);
    ASSERT_EQ(detector->QueryInterface(IID_IDispatch, dispatch.Void()), S_OK);
    EXPECT_EQ(static_cast<void*>(dispatch.p), static_cast<void*>(detector.p));
    EXPECT_EQ(detector->QueryInterface(IID_IProvideClassInfo, classInfo.Void()), S_OK);
    Ref<ITypeInfo> info;
    EXPECT_EQ(classInfo->GetClassInfo(info.Out()), S_OK);

    Ref<IKVXRDevice> device;
    ASSERT_EQ(CoCreateInstance(CLSID_CKVXRDevice, nullptr, CLSCTX_ALL, IID_IKVXRDevice, device.Void()), S_OK);
    Ref<IKVAbout> noAbout;
    EXPECT_EQ(device->QueryInterface(IID_IKVAbout, noAbout.Void()), E_NOINTERFACE);
    // A device made directly has no player: four null texts, all S_OK.
    BSTR text = reinterpret_cast<BSTR>(1);
    for (auto getter : {&IKVXRDevice::get_ModelName, &IKVXRDevice::get_FullName, &IKVXRDevice::get_Manufacturer,
             &IKVXRDevice::get_DrivePath}) {
        EXPECT_EQ((device.p->*getter)(&text), S_OK);
        EXPECT_EQ(text, nullptr);
    }
    EXPECT_EQ(device->get_ModelName(nullptr), E_INVALIDARG);
}

TEST_F(Server, LateBoundCallsReachTheMembers)
{
    Ref<IKVXRDetect> detector;
    CreateDetector(detector);
    // The detector through its type information.
    LPOLESTR name = const_cast<LPOLESTR>(u"GetDeviceCount");
    DISPID id = 0;
    ASSERT_EQ(detector->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
    EXPECT_EQ(id, 1);
    ULONG count = 7;
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_BYREF | VT_UI4;
    arg.pulVal = &count;
    DISPPARAMS params = {&arg, nullptr, 1, 0};
    EXPECT_EQ(detector->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(count, 0u);

    // The device through its own member table.
    Ref<IKVXRDevice> device;
    ASSERT_EQ(CoCreateInstance(CLSID_CKVXRDevice, nullptr, CLSCTX_ALL, IID_IKVXRDevice, device.Void()), S_OK);
    struct NameCase {
        const char16_t* name;
        DISPID id;
    };
    for (auto c : {NameCase{u"fwupgrade", 8}, NameCase{u"get_DrivePath", 5}, NameCase{u"ulhMainWnd", 3},
             NameCase{u"pVal", 0}}) {
        name = const_cast<LPOLESTR>(c.name);
        EXPECT_EQ(device->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
        EXPECT_EQ(id, c.id);
    }
    name = const_cast<LPOLESTR>(u"Format");
    EXPECT_EQ(device->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), DISP_E_UNKNOWNNAME);

    VARIANT result;
    VariantInit(&result);
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    EXPECT_EQ(device->Invoke(6, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr), S_OK);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, 1);
    EXPECT_EQ(device->Invoke(8, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr), DISP_E_BADPARAMCOUNT);
    VARIANT five[5];
    for (auto& v : five) {
        VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = 0;
    }
    DISPPARAMS tooMany = {five, nullptr, 5, 0};
    EXPECT_EQ(device->Invoke(10, IID_NULL, 0, DISPATCH_METHOD, &tooMany, nullptr, nullptr, nullptr),
        DISP_E_BADPARAMCOUNT);
    // FormatDlg's second argument (rgvarg index 2, arguments stand last first) cannot be a number.
    VARIANT four[4];
    for (auto& v : four) {
        VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = 0;
    }
    four[2].vt = VT_BSTR;
    four[2].bstrVal = SysAllocString(u"not a number");
    DISPPARAMS mismatch = {four, nullptr, 4, 0};
    UINT argError = 99;
    EXPECT_EQ(device->Invoke(10, IID_NULL, 0, DISPATCH_METHOD, &mismatch, nullptr, nullptr, &argError),
        DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argError, 2u);
    VariantClear(&four[2]);
}
