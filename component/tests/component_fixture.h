// A temporary machine with the component registered into it, and the calls the component's
// tests share.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "component/contract/kvxrdtct.h"
#include "platform/base/bstr.h"
#include "platform/base/wtext.h"
#include "platform/com/com_runtime.h"
#include "platform/kernel/modules.h"
#include "platform/kernel/paths.h"
#include "platform/machine/testing/temp_machine.h"

namespace componenttest {

inline std::filesystem::path BinFolder()
{
    const char* bin = std::getenv("YOLT_BIN");
    return bin ? std::filesystem::path(bin) : std::filesystem::path("build/bin");
}

inline std::u16string ComponentPath()
{
    return yolt::WindowsPathFromHost(BinFolder() / "KVXRDTCT.dll");
}

/// Releases an interface at the end of a scope.
template <typename T>
struct Ref {
    T* p = nullptr;
    Ref() = default;
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    ~Ref() { Reset(); }
    void Reset()
    {
        if (p)
            p->Release();
        p = nullptr;
    }
    T** Out()
    {
        Reset();
        return &p;
    }
    void** Void() { return reinterpret_cast<void**>(Out()); }
    T* operator->() const { return p; }
};

inline std::u16string Text(BSTR text)
{
    std::u16string copy = text ? std::u16string(text, SysStringLen(text)) : std::u16string();
    SysFreeString(text);
    return copy;
}

/// A machine running `system` with `players`, the component registered into it, and an
/// apartment on the test's thread.
class ComponentTest : public ::testing::Test {
protected:
    void Start(const std::string& system, const std::vector<yolt::machine::PlayerPlug>& players)
    {
        machine = std::make_unique<yolt::machine::TempMachine>(system, players);
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        apartment = true;
        module = LoadLibraryW(ComponentPath().c_str());
        ASSERT_NE(module, nullptr);
        auto registerServer = reinterpret_cast<HRESULT (*)()>(GetProcAddress(module, "DllRegisterServer"));
        ASSERT_NE(registerServer, nullptr);
        ASSERT_EQ(registerServer(), S_OK);
    }

    void TearDown() override
    {
        if (module)
            FreeLibrary(module);
        if (apartment)
            CoUninitialize();
        machine.reset();
    }

    void CreateDetector(Ref<IKVXRDetect>& detector)
    {
        CLSID clsid{};
        ASSERT_EQ(CLSIDFromProgID(u"KVXRDTCT.KVXRDetect", &clsid), S_OK);
        ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IKVXRDetect, detector.Void()), S_OK);
    }

    std::unique_ptr<yolt::machine::TempMachine> machine;
    HMODULE module = nullptr;
    bool apartment = false;
};

}  // namespace componenttest
