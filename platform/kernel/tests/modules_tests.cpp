#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/base/wtext.h"
#include "platform/kernel/modules.h"
#include "platform/kernel/paths.h"
#include "platform/kernel/tests/temp_machine.h"

using yolt::testing::TempMachine;

namespace {
std::vector<std::pair<HINSTANCE, DWORD>> g_dllMainCalls;
BOOL g_attachResult = TRUE;

INT_PTR Ping()
{
    return 7;
}
}  // namespace

// Called by the test module's DllMain.
extern "C" __attribute__((visibility("default"))) BOOL LoaderTestObserveDllMain(HINSTANCE instance, DWORD reason)
{
    g_dllMainCalls.emplace_back(instance, reason);
    return reason == DLL_PROCESS_ATTACH ? g_attachResult : TRUE;
}

TEST(Modules, LoadsByWindowsPathAndCallsDllMainOnFirstLoadAndLastFree)
{
    TempMachine m;
    g_dllMainCalls.clear();
    g_attachResult = TRUE;
    std::u16string path = yolt::WindowsPathFromHost(LOADER_TEST_MODULE);
    ASSERT_EQ(path.substr(0, 3), u"Z:\\");

    HMODULE module = LoadLibraryW(path.c_str());
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(LoadLibraryW(path.c_str()), module);
    ASSERT_EQ(g_dllMainCalls.size(), 1u);
    EXPECT_EQ(g_dllMainCalls[0], std::make_pair(static_cast<HINSTANCE>(module), static_cast<DWORD>(DLL_PROCESS_ATTACH)));

    auto answer = reinterpret_cast<int (*)()>(reinterpret_cast<void*>(GetProcAddress(module, "LoaderTestAnswer")));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    EXPECT_EQ(GetProcAddress(module, "malloc"), nullptr);  // a dependency's symbol is not the module's
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(yolt::ModuleFromAddress(reinterpret_cast<void*>(answer)), module);
    EXPECT_EQ(GetModuleHandleA("loadertest.dll"), module);

    WCHAR name[MAX_PATH];
    ASSERT_EQ(GetModuleFileNameW(module, name, MAX_PATH), path.size());
    EXPECT_EQ(std::u16string(name), path);
    char shortName[5];
    EXPECT_EQ(GetModuleFileNameA(module, shortName, sizeof shortName), 5u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(g_dllMainCalls.size(), 1u);
    EXPECT_TRUE(FreeLibrary(module));
    ASSERT_EQ(g_dllMainCalls.size(), 2u);
    EXPECT_EQ(g_dllMainCalls[1].second, static_cast<DWORD>(DLL_PROCESS_DETACH));
    EXPECT_FALSE(FreeLibrary(module));
}

TEST(Modules, RefusesMissingFilesNonModulesAndFailedAttach)
{
    TempMachine m;
    auto e = m.AddDrive('E');
    std::filesystem::copy_file(LOADER_TEST_MODULE, e / "Player.dll");
    TempMachine::WriteHostFile(e / "text.dll", "not a module");

    EXPECT_EQ(LoadLibraryA("E:\\none.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(LoadLibraryA("E:\\text.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));

    g_dllMainCalls.clear();
    g_attachResult = FALSE;
    EXPECT_EQ(LoadLibraryA("E:\\PLAYER.DLL"), nullptr);
    EXPECT_NE(GetLastError(), 0u);
    g_attachResult = TRUE;
    HMODULE module = LoadLibraryA("e:\\player.dll");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(g_dllMainCalls.size(), 2u);  // the refused attach, then this one
    FreeLibrary(module);
}

TEST(Modules, SystemModulesResolveByNameUnlessTheMachineDeclaresThemMissing)
{
    TempMachine m;
    const yolt::SystemFunction functions[] = {{"Ping", reinterpret_cast<FARPROC>(&Ping)}};
    yolt::RegisterSystemModule("TESTSYS.DLL", functions, 1);

    for (const char* name : {"TESTSYS.DLL", "testsys.dll", "TestSys"}) {
        HMODULE module = LoadLibraryA(name);
        ASSERT_NE(module, nullptr) << name;
        EXPECT_EQ(GetProcAddress(module, "Ping"), reinterpret_cast<FARPROC>(&Ping));
        EXPECT_EQ(GetProcAddress(module, "Pong"), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
        EXPECT_TRUE(FreeLibrary(module));
    }

    m.machine->missingFunctions.emplace_back("testsys.dll", "Ping");
    HMODULE module = LoadLibraryA("testsys.dll");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(GetProcAddress(module, "Ping"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));

    m.machine->missingModules.push_back("TestSys.dll");
    EXPECT_EQ(LoadLibraryA("TESTSYS"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(GetModuleHandleA("testsys.dll"), nullptr);
}

TEST(Modules, ProgramModuleIsTheNullName)
{
    HMODULE program = GetModuleHandleW(nullptr);
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(yolt::ModuleFromAddress(reinterpret_cast<void*>(&LoaderTestObserveDllMain)), program);
    EXPECT_EQ(yolt::ModuleHostPath(nullptr), std::filesystem::read_symlink("/proc/self/exe"));
    EXPECT_NE(GetProcAddress(nullptr, "LoaderTestObserveDllMain"), nullptr);
}
