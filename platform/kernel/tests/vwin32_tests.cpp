#include <gtest/gtest.h>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/kernel/devio.h"
#include "platform/kernel/files.h"
#include "platform/kernel/vwin32.h"
#include "temp_machine.h"

namespace {

class Vwin32 : public ::testing::Test {
protected:
    void SetUp() override
    {
        t.machine->version.platformId = 1;
        t.AddDrive('C', 0, yolt::machine::DriveKind::Fixed);
        t.AddDrive('E');
        yolt::machine::UsbDevice player;
        player.deviceId = "USB\\VID_5E93&PID_1001\\0001";
        player.drive = 'E';
        player.model = "PX210";
        t.machine->devices.push_back(player);
        yolt::ClearVwin32Requests();
    }

    HANDLE Open() { return CreateFileA("\\\\.\\VWin32", 0, 0, nullptr, 0, FILE_FLAG_DELETE_ON_CLOSE, nullptr); }

    // Issues one request and returns the answered registers.
    DIOC_REGISTERS Issue(DWORD eax, DWORD ebx, DWORD ecx, DWORD edx = 0)
    {
        HANDLE device = Open();
        EXPECT_NE(device, INVALID_HANDLE_VALUE);
        DIOC_REGISTERS regs = {ebx, edx, ecx, eax, 0, 0, 0};
        DWORD returned = 0;
        EXPECT_TRUE(DeviceIoControl(device, VWIN32_DIOC_DOS_IOCTL, &regs, sizeof regs, &regs, sizeof regs, &returned, nullptr));
        EXPECT_EQ(returned, sizeof regs);
        CloseHandle(device);
        return regs;
    }

    yolt::testing::TempMachine t;
};

TEST_F(Vwin32, OpensOnlyOnThe95FamilyWhenAvailable)
{
    HANDLE device = Open();
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    CloseHandle(device);

    t.machine->volumeController.available = false;
    EXPECT_EQ(Open(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));

    t.machine->volumeController.available = true;
    t.machine->version.platformId = 2;
    EXPECT_EQ(Open(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
}

TEST_F(Vwin32, RefusesWithCarryAndTheDosError)
{
    struct Case {
        const char* what;
        DWORD eax, ebx, ecx;
        DWORD error;  // 0: the request succeeds
    };
    const Case cases[] = {
        {"lock E:", 0x440D, 5, 0x084A, 0},
        {"lock a drive that does not exist", 0x440D, 7, 0x084A, 0x0F},
        {"drive number 0", 0x440D, 0, 0x084A, 0x0F},
        {"eject a fixed disk no USB device provides", 0x440D, 3, 0x0849, 0xB2},
        {"unknown minor code", 0x440D, 5, 0x0860, 0x01},
        {"unknown function", 0x4400, 5, 0, 0x01},
        {"reset with an unknown flag", 0x710D, 0, 7, 0x01},
    };
    for (const auto& c : cases) {
        DIOC_REGISTERS regs = Issue(c.eax, c.ebx, c.ecx, c.eax == 0x710D ? 5 : 0);
        if (c.error == 0) {
            EXPECT_EQ(regs.reg_Flags & CARRY_FLAG, 0u) << c.what;
            continue;
        }
        EXPECT_EQ(regs.reg_Flags & CARRY_FLAG, DWORD(CARRY_FLAG)) << c.what;
        EXPECT_EQ(regs.reg_EAX, c.error) << c.what;
    }
    EXPECT_EQ(yolt::Vwin32Requests().size(), std::size(cases)) << "every request is recorded";
}

TEST_F(Vwin32, DriveInUseCannotBeLocked)
{
    t.machine->devices[0].inUse = true;
    DIOC_REGISTERS regs = Issue(0x440D, 5, 0x084A);
    EXPECT_EQ(regs.reg_Flags & CARRY_FLAG, DWORD(CARRY_FLAG));
    EXPECT_EQ(regs.reg_EAX, 0x05u);
}

TEST_F(Vwin32, LockStatusBlockIsReachedThroughItsToken)
{
    t.machine->volumeController.pendingLocks = 3;
    BYTE block[2] = {2, 0};
    DWORD token = yolt::Vwin32BufferToken(block);
    ASSERT_NE(token, 0u);
    EXPECT_EQ(yolt::Vwin32BufferFromToken(token), block);
    DIOC_REGISTERS regs = Issue(0x440D, 5, 0x0848, token);
    EXPECT_EQ(regs.reg_Flags & CARRY_FLAG, 0u);
    EXPECT_EQ(block[1], 3);
    yolt::Vwin32ReleaseToken(token);
    EXPECT_EQ(yolt::Vwin32BufferFromToken(token), nullptr);

    // A released token (or any other number) is an address the system cannot read.
    HANDLE device = Open();
    DIOC_REGISTERS stale = {5, token, 0x0848, 0x440D, 0, 0, 0};
    DWORD returned = 0;
    EXPECT_FALSE(DeviceIoControl(device, VWIN32_DIOC_DOS_IOCTL, &stale, sizeof stale, &stale, sizeof stale, &returned, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOACCESS));
    // A short register block and another control code are refused before any request is made.
    EXPECT_FALSE(DeviceIoControl(device, VWIN32_DIOC_DOS_IOCTL, &stale, 20, &stale, 20, &returned, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(DeviceIoControl(device, 2, &stale, sizeof stale, &stale, sizeof stale, &returned, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FUNCTION));
    CloseHandle(device);
}

TEST_F(Vwin32, EjectDetachesTheDeviceProvidingTheDrive)
{
    DIOC_REGISTERS regs = Issue(0x440D, 5, 0x0849);
    EXPECT_EQ(regs.reg_Flags & CARRY_FLAG, 0u);
    EXPECT_TRUE(t.machine->devices.empty());
    EXPECT_FALSE(t.machine->FindDrive('E'));
    ASSERT_EQ(t.machine->unpluggedDevices.size(), 1u);
    EXPECT_EQ(t.machine->unpluggedDevices[0].deviceId, "USB\\VID_5E93&PID_1001\\0001");
}

}  // namespace
