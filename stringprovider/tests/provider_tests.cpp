#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "component/contract/string_provider.h"
#include "platform/base/bstr.h"
#include "platform/com/com_runtime.h"
#include "platform/kernel/modules.h"
#include "platform/kernel/paths.h"
#include "platform/machine/testing/temp_machine.h"

namespace {

std::u16string ProviderPath()
{
    const char* bin = std::getenv("YOLT_BIN");
    return yolt::WindowsPathFromHost(std::filesystem::path(bin ? bin : "build/bin") / "KVXRSTR.dll");
}

std::u16string Take(BSTR text)
{
    std::u16string copy = text ? std::u16string(text) : std::u16string();
    SysFreeString(text);
    return copy;
}

}  // namespace

TEST(StringProvider, ServesGermanAndFrenchOnceRegistered)
{
    yolt::machine::TempMachine machine("xp");
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    IKVXRStringProvider* provider = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_KVXRStringProvider, nullptr, CLSCTX_INPROC_SERVER, IID_IKVXRStringProvider,
                  reinterpret_cast<void**>(&provider)),
        REGDB_E_CLASSNOTREG);

    HMODULE module = LoadLibraryW(ProviderPath().c_str());
    ASSERT_NE(module, nullptr);
    auto registerServer = reinterpret_cast<HRESULT (*)()>(GetProcAddress(module, "DllRegisterServer"));
    ASSERT_EQ(registerServer(), S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_KVXRStringProvider, nullptr, CLSCTX_INPROC_SERVER, IID_IKVXRStringProvider,
                  reinterpret_cast<void**>(&provider)),
        S_OK);

    BSTR text = nullptr;
    EXPECT_EQ(provider->GetString(0x407, 38200, &text), S_OK);
    EXPECT_EQ(Take(text), u"Fehler");
    EXPECT_EQ(provider->GetString(0x40C, 38203, &text), S_OK);
    EXPECT_EQ(Take(text), u"%sLaissez le nom de volume vide !%s");
    EXPECT_EQ(provider->GetString(0x409, 38200, &text), S_FALSE) << "English comes from the component's own table";
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(provider->GetString(0x407, 38204, &text), S_FALSE);
    provider->Release();

    auto unregisterServer = reinterpret_cast<HRESULT (*)()>(GetProcAddress(module, "DllUnregisterServer"));
    EXPECT_EQ(unregisterServer(), S_OK);
    EXPECT_EQ(CoCreateInstance(CLSID_KVXRStringProvider, nullptr, CLSCTX_INPROC_SERVER, IID_IKVXRStringProvider,
                  reinterpret_cast<void**>(&provider)),
        REGDB_E_CLASSNOTREG);
    FreeLibrary(module);
    CoUninitialize();
}
