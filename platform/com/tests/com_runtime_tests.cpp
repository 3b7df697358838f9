#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/base/wtext.h"
#include "platform/com/com_runtime.h"
#include "platform/com/tests/test_server.h"
#include "platform/kernel/modules.h"
#include "platform/kernel/paths.h"
#include "platform/machine/machine.h"
#include "platform/machine/testing/temp_machine.h"
#include "platform/registry/registry.h"

namespace {

std::filesystem::path BinFolder()
{
    const char* bin = std::getenv("YOLT_BIN");
    return bin ? std::filesystem::path(bin) : std::filesystem::current_path();
}

std::filesystem::path ServerHostPath() { return BinFolder() / "YoltTestServer.dll"; }

class ComRuntime : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/yolt-com-XXXXXX";
        root = mkdtemp(pattern);
        machine = std::make_shared<yolt::machine::MemoryMachine>();
        machine->registryFolder = root / "registry";
        yolt::machine::SetCurrentMachine(machine);
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
    }
    void TearDown() override
    {
        CoUninitialize();
        yolt::machine::SetCurrentMachine(nullptr);
        std::filesystem::remove_all(root);
    }

    // Registers the test server by calling its own DllRegisterServer.
    void RegisterServer()
    {
        HMODULE module = LoadLibraryW(yolt::WindowsPathFromHost(ServerHostPath()).c_str());
        ASSERT_NE(module, nullptr);
        auto registerServer = reinterpret_cast<HRESULT (*)()>(reinterpret_cast<void (*)()>(GetProcAddress(module, "DllRegisterServer")));
        ASSERT_NE(registerServer, nullptr);
        EXPECT_EQ(registerServer(), S_OK);
        FreeLibrary(module);
    }

    void SetDefault(const char* path, const std::string& value)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, path, &key), ERROR_SUCCESS);
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
            static_cast<DWORD>(value.size() + 1));
        RegCloseKey(key);
    }

    std::filesystem::path root;
    std::shared_ptr<yolt::machine::MemoryMachine> machine;
};

TEST(ComApartments, CountInitialisationsPerThread)
{
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    EXPECT_EQ(OleInitialize(nullptr), S_FALSE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
    OleUninitialize();
    CoUninitialize();
    IClassFactory* factory = nullptr;
    EXPECT_EQ(CoGetClassObject(CLSID_TestThing, CLSCTX_ALL, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
        CO_E_NOTINITIALIZED);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK) << "a new apartment may be of either kind";
    CoUninitialize();
}

TEST(ComClassIds, TextFormsRoundTrip)
{
    OLECHAR text[39];
    EXPECT_EQ(StringFromGUID2(CLSID_TestThing, text, 38), 0);
    ASSERT_EQ(StringFromGUID2(CLSID_TestThing, text, 39), 39);
    EXPECT_EQ(std::u16string(text), u"{6A1B7C20-3D4E-4F51-9A62-708192A3B4C5}");
    CLSID back{};
    EXPECT_EQ(CLSIDFromString(u"{6a1b7c20-3d4e-4f51-9a62-708192a3b4c5}", &back), S_OK);
    EXPECT_EQ(back, CLSID_TestThing);
    EXPECT_EQ(CLSIDFromString(u"{6A1B7C20-3D4E}", &back), CO_E_CLASSSTRING);
    EXPECT_EQ(IIDFromString(u"nonsense", &back), CO_E_IIDSTRING);
    LPOLESTR allocated = nullptr;
    ASSERT_EQ(StringFromCLSID(CLSID_TestThing, &allocated), S_OK);
    EXPECT_EQ(std::u16string(allocated), std::u16string(text));
    CoTaskMemFree(allocated);
}

TEST_F(ComRuntime, CreatesTheServerByProgIdAndUnloadsItWhenUnused)
{
    RegisterServer();
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(kTestThingProgId, &clsid), S_OK) << "found through CurVer";
    EXPECT_EQ(clsid, CLSID_TestThing);
    ASSERT_EQ(CLSIDFromProgID(u"yolt.testthing.1", &clsid), S_OK);

    IUnknown* unknown = nullptr;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(OleRun(unknown), S_OK);
    ITestThing* thing = nullptr;
    ASSERT_EQ(unknown->QueryInterface(IID_ITestThing, reinterpret_cast<void**>(&thing)), S_OK);
    unknown->Release();
    LONG sum = 0;
    EXPECT_EQ(thing->Add(2, 40, &sum), S_OK);
    EXPECT_EQ(sum, 42);
    BOOL running = FALSE;
    thing->IsRunning(&running);
    EXPECT_TRUE(running) << "OleRun ran the object";

    std::string hostPath = ServerHostPath().string();
    CoFreeUnusedLibraries();
    EXPECT_NE(GetModuleHandleA(yolt::Utf8FromWide(yolt::WindowsPathFromHost(hostPath)).c_str()), nullptr)
        << "an object is alive";
    thing->Release();
    CoFreeUnusedLibraries();
    EXPECT_EQ(GetModuleHandleA(yolt::Utf8FromWide(yolt::WindowsPathFromHost(hostPath)).c_str()), nullptr);

    // Created again after the unload, the server is loaded again.
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ITestThing, reinterpret_cast<void**>(&thing)), S_OK);
    thing->Release();
}

TEST_F(ComRuntime, ReportsWhyAClassCannotBeCreated)
{
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(u"No.Such.Thing", &clsid), CO_E_CLASSSTRING);
    SetDefault("Broken.Thing\\CLSID", "{not a guid}");
    EXPECT_EQ(CLSIDFromProgID(u"Broken.Thing", &clsid), CO_E_CLASSSTRING);

    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(CLSID_TestThing, nullptr, CLSCTX_ALL, IID_IUnknown, &object), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);

    const std::string key = "CLSID\\" + yolt::GuidToString(CLSID_TestThing);
    SetDefault(key.c_str(), "Registered without a server");
    EXPECT_EQ(CoCreateInstance(CLSID_TestThing, nullptr, CLSCTX_ALL, IID_IUnknown, &object), REGDB_E_CLASSNOTREG);

    SetDefault((key + "\\InprocServer32").c_str(), "C:\\nowhere\\Missing.dll");
    EXPECT_EQ(CoCreateInstance(CLSID_TestThing, nullptr, CLSCTX_ALL, IID_IUnknown, &object),
        HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND));

    RegisterServer();
    EXPECT_EQ(CoCreateInstance(CLSID_TestThing, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown, &object), REGDB_E_CLASSNOTREG)
        << "only in-process servers are served";
    EXPECT_EQ(CoCreateInstance(CLSID_TestThing, nullptr, CLSCTX_ALL, IID_IClassFactory, &object), E_NOINTERFACE);
    EXPECT_EQ(CoCreateInstance(CLSID_TestThing, nullptr, CLSCTX_ALL, IID_IUnknown, nullptr), E_POINTER);
    CoFreeUnusedLibraries();
}

// regsvr registers the server in a machine's registry; another process creates it by ProgID;
// regsvr /u removes every key it wrote.
TEST_F(ComRuntime, RegsvrRegistersForAnotherProcessAndUnregisters)
{
    yolt::machine::TempMachine temp("xp");
    const std::string regsvr = (BinFolder() / "regsvr").string();
    const std::string prefix = "YOLT_MACHINE='" + temp.Folder().string() + "' '" + regsvr + "' ";
    const std::string server = "'" + ServerHostPath().string() + "'";

    EXPECT_EQ(std::system((regsvr + " --help >/dev/null").c_str()), 0);
    EXPECT_EQ(WEXITSTATUS(std::system((regsvr + " /u >/dev/null 2>&1").c_str())), 2);
    EXPECT_EQ(WEXITSTATUS(std::system((prefix + "/nowhere/Missing.dll >/dev/null").c_str())), 1);
    ASSERT_EQ(std::system((prefix + server + " >/dev/null").c_str()), 0);
    ASSERT_TRUE(std::filesystem::exists(temp.Folder() / "registry" / "HKLM.reg"));

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CLSID clsid{};
        ITestThing* thing = nullptr;
        LONG sum = 0;
        bool created = CLSIDFromProgID(kTestThingProgId, &clsid) == S_OK &&
            CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_ITestThing, reinterpret_cast<void**>(&thing)) == S_OK &&
            thing->Add(1, 2, &sum) == S_OK && sum == 3;
        if (thing)
            thing->Release();
        _exit(created ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    ASSERT_EQ(std::system((prefix + "/u " + server + " >/dev/null").c_str()), 0);
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(kTestThingProgId, &clsid), CO_E_CLASSSTRING);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyA(HKEY_CLASSES_ROOT, ("CLSID\\" + yolt::GuidToString(CLSID_TestThing)).c_str(), &key),
        ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyA(HKEY_CLASSES_ROOT, "Yolt.TestThing.1", &key), ERROR_FILE_NOT_FOUND);
}

}  // namespace
