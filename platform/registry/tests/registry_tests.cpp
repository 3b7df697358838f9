#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/base/errors.h"
#include "platform/registry/reg_text.h"
#include "registry_fixture.h"

namespace {

using Registry = RegistryTest;

TEST_F(Registry, ValuesOfEveryTypeSurviveTheHiveFile)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Yolt\\Test", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                  &key, &disposition),
        ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD(REG_CREATED_NEW_KEY));
    const char16_t text[] = u"caf\u00E9";
    const char16_t multi[] = u"a\0bc\0";
    DWORD number = 0x12345678;
    BYTE blob[] = {0, 1, 2, 255};
    EXPECT_EQ(RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, u"Multi", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi), sizeof multi), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, u"Expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(u"%X%"), 8), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, "Blob", 0, REG_BINARY, blob, sizeof blob), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, "Narrow", 0, REG_SZ, reinterpret_cast<const BYTE*>("x\xE9"), 3), ERROR_SUCCESS);
    RegCloseKey(key);

    ForgetHives();
    EXPECT_NE(ReadFile(Hive()).find("[HKEY_LOCAL_MACHINE\\Software\\Yolt\\Test]"), std::string::npos);

    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\yolt\\TEST", 0, KEY_READ, &key), ERROR_SUCCESS);
    BYTE buffer[64] = {};
    DWORD type = 0, size = sizeof buffer;
    ASSERT_EQ(RegQueryValueExW(key, u"", nullptr, &type, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(size, sizeof text);
    EXPECT_EQ(std::memcmp(buffer, text, sizeof text), 0);

    size = sizeof buffer;
    ASSERT_EQ(RegQueryValueExW(key, u"multi", nullptr, &type, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_MULTI_SZ));
    EXPECT_EQ(size, sizeof multi);
    EXPECT_EQ(std::memcmp(buffer, multi, sizeof multi), 0);

    size = sizeof buffer;
    ASSERT_EQ(RegQueryValueExA(key, "Expand", nullptr, &type, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_EXPAND_SZ));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size), std::string("%X%", 4));

    DWORD back = 0;
    size = sizeof back;
    ASSERT_EQ(RegQueryValueExA(key, "NUMBER", nullptr, &type, reinterpret_cast<BYTE*>(&back), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_DWORD));
    EXPECT_EQ(back, number);

    size = sizeof buffer;
    ASSERT_EQ(RegQueryValueExA(key, "Blob", nullptr, &type, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, sizeof blob);
    EXPECT_EQ(std::memcmp(buffer, blob, sizeof blob), 0);

    char16_t wide[8] = {};
    size = sizeof wide;
    ASSERT_EQ(RegQueryValueExW(key, u"Narrow", nullptr, &type, reinterpret_cast<BYTE*>(wide), &size), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(wide), u"x\u00E9") << "narrow text is converted from the ANSI code page";
    RegCloseKey(key);
}

TEST_F(Registry, NarrowCallsUseTheMachinesCodePage)
{
    machine->locale.ansiCodePage = 1251;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "\xCA\xEB\xFE\xF7", &key), ERROR_SUCCESS);  // "Ключ"
    EXPECT_EQ(RegSetValueExA(key, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("\xC0"), 2), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(QueryString(HKEY_CURRENT_USER, u"\u041A\u043B\u044E\u0447", u"v"), u"\u0410");
    char name[16] = {};
    DWORD size = sizeof name;
    ASSERT_EQ(RegEnumKeyExA(HKEY_CURRENT_USER, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_STREQ(name, "\xCA\xEB\xFE\xF7");
}

TEST_F(Registry, ClassesRootIsAViewOfMachineClasses)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyW(HKEY_CLASSES_ROOT, u"Test.Thing\\CLSID", &key), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(u"{1}"), 8), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(QueryString(HKEY_LOCAL_MACHINE, u"software\\classes\\TEST.THING\\clsid", u""), u"{1}");
    ForgetHives();
    EXPECT_EQ(QueryString(HKEY_CLASSES_ROOT, u"Test.Thing\\CLSID", nullptr), u"{1}");
    EXPECT_NE(ReadFile(Hive()).find("[HKEY_LOCAL_MACHINE\\Software\\Classes\\Test.Thing\\CLSID]"), std::string::npos);
}

TEST_F(Registry, SubkeysAndValuesEnumerateInCreationOrder)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "List", &key), ERROR_SUCCESS);
    for (const char* name : {"zeta", "Alpha", "mid"}) {
        HKEY child = nullptr;
        ASSERT_EQ(RegCreateKeyA(key, name, &child), ERROR_SUCCESS);
        RegCloseKey(child);
        EXPECT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>("v"), 2), ERROR_SUCCESS);
    }
    ForgetHives();
    const char* order[] = {"zeta", "Alpha", "mid"};
    for (DWORD i = 0; i < 3; ++i) {
        char name[16];
        DWORD size = sizeof name;
        ASSERT_EQ(RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
        EXPECT_STREQ(name, order[i]);
        EXPECT_EQ(size, std::strlen(name));
        size = sizeof name;
        ASSERT_EQ(RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
        EXPECT_STREQ(name, order[i]);
    }
    char name[16];
    DWORD size = sizeof name;
    EXPECT_EQ(RegEnumKeyExA(key, 3, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    size = 4;  // "zeta" needs 5 with its terminator
    EXPECT_EQ(RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    DWORD subKeys = 0, values = 0, longest = 0;
    EXPECT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, &longest, nullptr, &values, nullptr, nullptr,
                  nullptr, nullptr),
        ERROR_SUCCESS);
    EXPECT_EQ(subKeys, 3u);
    EXPECT_EQ(values, 3u);
    EXPECT_EQ(longest, 5u);
    RegCloseKey(key);
}

TEST_F(Registry, ErrorsAreTheSystemsCodes)
{
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Missing", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(RegOpenKeyExA(reinterpret_cast<HKEY>(0x1234), "x", 0, KEY_READ, &key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(reinterpret_cast<HKEY>(0x1234)), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "bad\nname", &key), ERROR_INVALID_PARAMETER);

    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "A\\B", &key), ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "A", 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD size = 0, type = 0;
    EXPECT_EQ(RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND) << "unset default";
    EXPECT_EQ(RegSetValueExA(key, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2), ERROR_ACCESS_DENIED)
        << "opened for reading only";
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "A"), ERROR_ACCESS_DENIED) << "it has a subkey";
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "A\\Nope"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueA(HKEY_LOCAL_MACHINE, "nope"), ERROR_FILE_NOT_FOUND);

    HKEY b = nullptr;
    ASSERT_EQ(RegOpenKeyExA(key, "b", 0, KEY_ALL_ACCESS, &b), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(b, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("hello"), 6), ERROR_SUCCESS);
    char small[3];
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExA(b, "v", nullptr, &type, reinterpret_cast<BYTE*>(small), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);
    size = 0;
    EXPECT_EQ(RegQueryValueExA(b, "v", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);

    EXPECT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, "A"), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(b, "v", nullptr, &type, nullptr, &size), ERROR_KEY_DELETED);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "a", 0, KEY_READ, &b), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, ""), ERROR_ACCESS_DENIED) << "a root cannot be deleted";
    RegCloseKey(key);
}

TEST_F(Registry, UnreadableHiveIsReportedAndNeverOverwritten)
{
    const std::string broken = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software]\n\"v\"=dword:xyz\n";
    WriteFile(Hive(), broken);

    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &key), ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, "New", &key), ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(RegSetValueExA(HKEY_LOCAL_MACHINE, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2),
        ERROR_REGISTRY_CORRUPT);
    std::string problem = yolt::registry::HiveProblem(HKEY_LOCAL_MACHINE);
    EXPECT_NE(problem.find("HKLM.reg line 4"), std::string::npos) << problem;
    EXPECT_EQ(ReadFile(Hive()), broken);

    // The other hives go on working, and a mended file is read again.
    EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Fine", &key), ERROR_SUCCESS);
    RegCloseKey(key);
    WriteFile(Hive(), "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software]\n\"v\"=dword:1\n");
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(yolt::registry::HiveProblem(HKEY_LOCAL_MACHINE), "");
    RegCloseKey(key);
}

TEST_F(Registry, SeesChangesOfAnotherProcess)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "Shared", &key), ERROR_SUCCESS);
    WriteFile(Hive(), "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Shared]\n\"from\"=\"outside\"\n");
    EXPECT_EQ(QueryString(HKEY_LOCAL_MACHINE, u"Shared", u"from"), u"outside");
    RegCloseKey(key);
}

// Two processes writing at the same moment: the hive holds both sets of changes.
TEST_F(Registry, ConcurrentWritersLoseNothing)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "Race", &key), ERROR_SUCCESS);
    RegCloseKey(key);

    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    constexpr int kWrites = 40;
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            close(gate[1]);
            char byte;
            (void)!read(gate[0], &byte, 1);  // both start when the parent closes the pipe
            int failures = 0;
            for (int i = 0; i < kWrites; ++i) {
                std::string path = "Race\\Writer" + std::to_string(c);
                HKEY k = nullptr;
                std::string name = "value" + std::to_string(i);
                DWORD n = static_cast<DWORD>(i);
                failures += RegCreateKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &k) != ERROR_SUCCESS;
                failures += RegSetValueExA(k, name.c_str(), 0, REG_DWORD, reinterpret_cast<BYTE*>(&n), 4) != ERROR_SUCCESS;
                RegCloseKey(k);
            }
            _exit(failures == 0 ? 0 : 1);
        }
    }
    close(gate[0]);
    close(gate[1]);
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    auto parsed = yolt::registry::ParseRegText(ReadFile(Hive()), yolt::registry::HiveId::Machine, 1252);
    ASSERT_NE(parsed.root, nullptr) << parsed.error;
    for (int c = 0; c < 2; ++c) {
        std::string path = "Race\\Writer" + std::to_string(c);
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
        DWORD values = 0;
        RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
            nullptr);
        EXPECT_EQ(values, DWORD(kWrites));
        RegCloseKey(key);
    }
    EXPECT_FALSE(std::filesystem::exists(machine->registryFolder / ".HKLM.reg.tmp"));
}

TEST_F(Registry, MachineWithoutRegistryFolderKeepsTheRegistryInMemory)
{
    machine->registryFolder.clear();
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "Memory", &key), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, u"v", 0, REG_SZ, reinterpret_cast<const BYTE*>(u"m"), 4), ERROR_SUCCESS);
    EXPECT_EQ(QueryString(HKEY_LOCAL_MACHINE, u"Memory", u"v"), u"m");
    RegCloseKey(key);
    EXPECT_FALSE(std::filesystem::exists(root / "registry"));
}

}  // namespace
