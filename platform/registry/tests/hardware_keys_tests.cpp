#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/base/errors.h"
#include "platform/machine/testing/temp_machine.h"
#include "platform/registry/registry.h"

namespace {

using yolt::machine::PlayerPlug;
using yolt::machine::TempMachine;

const char kUsbClass[] = "System\\CurrentControlSet\\Control\\DeviceClasses\\{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
const char kOtherClass[] = "System\\CurrentControlSet\\Control\\DeviceClasses\\{9aac36e0-cc5d-11d5-b6f0-0050baecb8f0}";

bool KeyExists(const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::optional<std::string> ReadText(const std::string& path, const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    char text[256] = {};
    DWORD size = sizeof text;
    DWORD type = 0;
    LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ)
        return std::nullopt;
    return std::string(text);
}

std::optional<DWORD> ReadNumber(const std::string& path, const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD number = 0;
    DWORD size = sizeof number;
    DWORD type = 0;
    LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_DWORD)
        return std::nullopt;
    return number;
}

std::string InterfaceKey(const char* classPath, const char* device, const char* instance)
{
    std::string classId = std::string(classPath).substr(std::string(classPath).rfind('\\') + 1);
    return std::string(classPath) + "\\##?#USB#" + device + "#" + instance + "#" + classId;
}

}  // namespace

TEST(HardwareKeys, DescribeAttachedDevicesOnThe95Family)
{
    TempMachine machine("98se", {PlayerPlug{"PX210", 'E'}, PlayerPlug{"RQ210", 'H'}});

    EXPECT_TRUE(KeyExists("Enum\\USB\\VID_5E93&PID_1001\\0001"));
    EXPECT_TRUE(KeyExists("enum\\usb\\vid_5e93&pid_1004\\0001"));
    for (const char* classPath : {kUsbClass, kOtherClass}) {
        std::string key = InterfaceKey(classPath, "VID_5E93&PID_1004", "0001");
        EXPECT_EQ(ReadText(key, "DeviceInstance"), "USB\\VID_5E93&PID_1004\\0001") << key;
        EXPECT_EQ(ReadNumber(key, "RefCount"), 1u) << key;
    }
    EXPECT_EQ(ReadText("Enum\\SCSI\\YOLT____RQ210___________\\VID_5E93&PID_1004&0001&0", "CurrentDriveLetterAssignment"), "H");
    EXPECT_EQ(ReadText("Enum\\SCSI\\YOLT____PX210___________\\VID_5E93&PID_1001&0001&0", "CurrentDriveLetterAssignment"), "E");
}

TEST(HardwareKeys, UnpluggedDeviceKeepsItsKeysWithoutActivityOrDrive)
{
    TempMachine machine("98se", {PlayerPlug{"RQ210", 'H'}});
    const std::string interfaceKey = InterfaceKey(kUsbClass, "VID_5E93&PID_1004", "0001");
    const std::string scsiKey = "Enum\\SCSI\\YOLT____RQ210___________\\VID_5E93&PID_1004&0001&0";
    ASSERT_EQ(ReadNumber(interfaceKey, "RefCount"), 1u);

    ASSERT_TRUE(machine.Machine().DetachUsbDevice("USB\\VID_5E93&PID_1004\\0001"));
    EXPECT_TRUE(KeyExists("Enum\\USB\\VID_5E93&PID_1004\\0001"));
    EXPECT_EQ(ReadText(interfaceKey, "DeviceInstance"), "USB\\VID_5E93&PID_1004\\0001");
    EXPECT_EQ(ReadNumber(interfaceKey, "RefCount"), 0u);
    EXPECT_FALSE(KeyExists(scsiKey));

    machine.Change([](auto& document) { document.Plug(PlayerPlug{"RQ210", 'H'}); });
    EXPECT_EQ(ReadNumber(interfaceKey, "RefCount"), 1u);
    EXPECT_TRUE(KeyExists(scsiKey));
}

TEST(HardwareKeys, AreAbsentOnTheNtFamily)
{
    TempMachine machine("xp", {PlayerPlug{"PX210", 'E'}});
    EXPECT_FALSE(KeyExists("Enum"));
    EXPECT_FALSE(KeyExists("Enum\\USB"));
    EXPECT_FALSE(KeyExists(kUsbClass));
    EXPECT_FALSE(KeyExists("Enum\\SCSI"));
}

TEST(HardwareKeys, RawContentIsServedInstead)
{
    TempMachine machine("98se", {PlayerPlug{"PX210", 'E'}});
    machine.Change([](auto& document) {
        document.SetHardwareRegistry(
            "REGEDIT4\n\n"
            "[HKEY_LOCAL_MACHINE\\Enum\\USB\\VID_5E93&PID_1001\\SERIAL7]\n\n"
            "[HKEY_LOCAL_MACHINE\\Enum\\SCSI\\ODD\\PX210&1]\n"
            "\"CurrentDriveLetterAssignment\"=\"e\"\n");
    });
    EXPECT_TRUE(KeyExists("Enum\\USB\\VID_5E93&PID_1001\\SERIAL7"));
    EXPECT_FALSE(KeyExists("Enum\\USB\\VID_5E93&PID_1001\\0001")) << "the attached devices are not described";
    EXPECT_EQ(ReadText("Enum\\SCSI\\ODD\\PX210&1", "CurrentDriveLetterAssignment"), "e");
    EXPECT_FALSE(KeyExists(kUsbClass)) << "a class the raw content leaves out is missing";

    // Unreadable raw content describes nothing.
    machine.Change([](auto& document) { document.SetHardwareRegistry("[HKEY_LOCAL_MACHINE\\Enum\\USB\n"); });
    EXPECT_FALSE(KeyExists("Enum\\USB"));
}
