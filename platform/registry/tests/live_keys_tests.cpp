#include <gtest/gtest.h>

#include <string>

#include "platform/base/errors.h"
#include "platform/registry/hardware_keys.h"
#include "registry_fixture.h"

namespace {

class LiveKeys : public RegistryTest {
protected:
    void SetUp() override
    {
        RegistryTest::SetUp();
        yolt::registry::RegisterLiveTree(HKEY_LOCAL_MACHINE, u"Enum\\USB", [this]() -> std::unique_ptr<yolt::registry::Key> {
            ++builds;
            if (!attached)
                return nullptr;
            auto tree = std::make_unique<yolt::registry::Key>();
            auto& instance = tree->Child(u"VID_5E93&PID_1001").Child(instanceName);
            instance.SetString(u"DeviceDesc", u"Player");
            instance.SetDword(u"RefCount", 1);
            return tree;
        });
    }
    void TearDown() override
    {
        // Hand the place back to the machine's hardware keys, as the library serves it.
        yolt::registry::RegisterLiveTree(
            HKEY_LOCAL_MACHINE, u"Enum\\USB", [] { return yolt::registry::BuildHardwareTree(u"Enum\\USB"); });
        RegistryTest::TearDown();
    }

    int builds = 0;
    bool attached = true;
    std::u16string instanceName = u"0001";
};

TEST_F(LiveKeys, AreReadThroughTheNarrowCalls)
{
    HKEY enumKey = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Enum", 0, KEY_READ, &enumKey), ERROR_SUCCESS) << "a parent appears";
    char name[64];
    DWORD size = sizeof name;
    ASSERT_EQ(RegEnumKeyExA(enumKey, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_STREQ(name, "USB");
    RegCloseKey(enumKey);

    HKEY instance = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "enum\\usb\\vid_5e93&pid_1001\\0001", 0, KEY_READ, &instance), ERROR_SUCCESS);
    DWORD count = 0, type = 0;
    size = sizeof count;
    ASSERT_EQ(RegQueryValueExA(instance, "RefCount", nullptr, &type, reinterpret_cast<BYTE*>(&count), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_DWORD));
    EXPECT_EQ(count, 1u);
    size = sizeof name;
    ASSERT_EQ(RegQueryValueExA(instance, "DeviceDesc", nullptr, &type, reinterpret_cast<BYTE*>(name), &size), ERROR_SUCCESS);
    EXPECT_STREQ(name, "Player");

    EXPECT_EQ(RegSetValueExA(instance, "x", 0, REG_SZ, reinterpret_cast<const BYTE*>("y"), 2), ERROR_ACCESS_DENIED);
    RegCloseKey(instance);
    HKEY created = nullptr;
    EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "Enum\\USB\\New", &created), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Enum\\USB"), ERROR_ACCESS_DENIED);
}

TEST_F(LiveKeys, AreBuiltAtEachOpenAndNeverStored)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Enum\\USB\\VID_5E93&PID_1001\\0001", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    instanceName = u"0002";
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Enum\\USB\\VID_5E93&PID_1001\\0001", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Enum\\USB\\VID_5E93&PID_1001\\0002", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);

    // A stored key beside the live ones: the hive file holds it and nothing live.
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "Enum\\SCSI", &key), ERROR_SUCCESS);
    RegCloseKey(key);
    std::string hive = ReadFile(Hive());
    EXPECT_NE(hive.find("[HKEY_LOCAL_MACHINE\\Enum\\SCSI]"), std::string::npos);
    EXPECT_EQ(hive.find("USB"), std::string::npos) << hive;
    EXPECT_GT(builds, 0);
}

TEST_F(LiveKeys, AnEmptyBuildLeavesThePlaceToTheHive)
{
    attached = false;
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Enum", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    WriteFile(Hive(), "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Enum\\USB\\VID_0000&PID_0000\\raw]\n\"RefCount\"=dword:0\n");
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Enum\\USB\\VID_0000&PID_0000\\raw", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(RegistryTest, ProductTypeIsServedFromTheMachine)
{
    struct Case {
        DWORD platformId;
        BYTE productType;
        const char* expected;  // null: no value
    } cases[] = {{2, 1, "WinNT"}, {2, 2, "LanmanNT"}, {2, 3, "ServerNT"}, {1, 1, nullptr}, {2, 0, nullptr}};
    for (const Case& c : cases) {
        machine->version.platformId = c.platformId;
        machine->version.productType = c.productType;
        HKEY key = nullptr;
        LONG opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\ProductOptions", 0,
            KEY_QUERY_VALUE, &key);
        if (!c.expected) {
            EXPECT_EQ(opened, ERROR_FILE_NOT_FOUND) << int(c.productType);
            continue;
        }
        ASSERT_EQ(opened, ERROR_SUCCESS);
        char value[80] = "";
        DWORD size = sizeof value;
        EXPECT_EQ(RegQueryValueExA(key, "ProductType", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size),
            ERROR_SUCCESS);
        EXPECT_STREQ(value, c.expected);
        RegCloseKey(key);
    }
}

}  // namespace
