#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/kernel/devio.h"
#include "platform/kernel/drives.h"
#include "platform/kernel/files.h"
#include "platform/kernel/tests/temp_machine.h"
#include "platform/kernel/time.h"

using yolt::machine::DriveKind;
using yolt::testing::TempMachine;

TEST(Drives, ReportTypesAndTheDriveList)
{
    TempMachine m;
    m.AddDrive('C', 0, DriveKind::Fixed);
    m.AddDrive('D', 0, DriveKind::CdRom);
    m.AddDrive('E', 0, DriveKind::Removable);

    struct Case {
        const char16_t* root;
        UINT type;
    } cases[] = {
        {u"C:\\", DRIVE_FIXED}, {u"d:\\", DRIVE_CDROM}, {u"E:", DRIVE_REMOVABLE}, {u"Z:\\", DRIVE_FIXED},
        {u"Q:\\", DRIVE_NO_ROOT_DIR}, {u"E:\\Music\\", DRIVE_NO_ROOT_DIR},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetDriveTypeW(c.root), c.type);
    EXPECT_EQ(GetDriveTypeA("E:\\"), static_cast<UINT>(DRIVE_REMOVABLE));

    EXPECT_EQ(GetLogicalDrives(), (1u << 2) | (1u << 3) | (1u << 4) | (1u << 25));
    char small[4];
    EXPECT_EQ(GetLogicalDriveStringsA(sizeof small, small), 17u);
    char list[32];
    ASSERT_EQ(GetLogicalDriveStringsA(sizeof list, list), 16u);
    EXPECT_EQ(std::string(list, 17), std::string("C:\\\0D:\\\0E:\\\0Z:\\\0", 17));
}

TEST(Drives, FreeSpaceFollowsWhatIsWritten)
{
    TempMachine m;
    auto e = m.AddDrive('E', 1 << 20);
    TempMachine::WriteHostFile(e / "Music" / "a.mp3", std::string(1000, 'a'));

    ULARGE_INTEGER available, total, free;
    ASSERT_TRUE(GetDiskFreeSpaceExW(u"E:\\Music", &available, &total, &free));
    EXPECT_EQ(total.QuadPart, 1u << 20);
    EXPECT_EQ(free.QuadPart, (1u << 20) - 1000);
    EXPECT_EQ(available.QuadPart, free.QuadPart);

    HANDLE file = CreateFileW(u"E:\\b.bin", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    std::string data(4096, 'b');
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, data.data(), 4096, &written, nullptr));
    CloseHandle(file);
    ASSERT_TRUE(GetDiskFreeSpaceExA("E:\\", nullptr, nullptr, &free));
    EXPECT_EQ(free.QuadPart, (1u << 20) - 1000 - 4096);

    // The host root reports the host volume; a missing folder fails.
    EXPECT_TRUE(GetDiskFreeSpaceExW(u"Z:\\", nullptr, &total, nullptr));
    EXPECT_GT(total.QuadPart, 0u);
    EXPECT_FALSE(GetDiskFreeSpaceExW(u"E:\\None", nullptr, &total, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST(Drives, VolumeLabelsAreReadAndSetThroughTheMachine)
{
    TempMachine m;
    m.AddDrive('E');
    char label[32], fileSystem[16];
    DWORD serial = 0;
    ASSERT_TRUE(SetVolumeLabelW(u"E:\\", u"YOLT PX210"));
    ASSERT_TRUE(GetVolumeInformationA("E:\\", label, sizeof label, &serial, nullptr, nullptr, fileSystem, sizeof fileSystem));
    EXPECT_STREQ(label, "YOLT PX210");
    EXPECT_STREQ(fileSystem, "FAT32");

    EXPECT_FALSE(SetVolumeLabelA("E:\\", "TWELVE CHARS"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
    EXPECT_FALSE(SetVolumeLabelW(u"Q:\\", u"X"));
    EXPECT_EQ(m.machine->FindDrive('E')->label, "YOLT PX210");
}

TEST(Devices, OpensRouteToTheRegisteredHandler)
{
    TempMachine m;
    std::vector<std::string> seen;
    yolt::RegisterDevice([](const std::string& name) { return name == "TESTDEV"; },
        [](const std::string&) { return true; },
        [&](const std::string& name, DWORD code, LPVOID, DWORD, LPVOID out, DWORD outSize, LPDWORD returned) {
            seen.push_back(name);
            if (code != 7) {
                SetLastError(ERROR_INVALID_FUNCTION);
                return FALSE;
            }
            *returned = outSize;
            static_cast<char*>(out)[0] = 'k';
            return TRUE;
        });

    HANDLE device = CreateFileA("\\\\.\\testdev", 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    char out[4] = {};
    DWORD returned = 0;
    EXPECT_TRUE(DeviceIoControl(device, 7, nullptr, 0, out, sizeof out, &returned, nullptr));
    EXPECT_EQ(returned, 4u);
    EXPECT_EQ(out[0], 'k');
    EXPECT_FALSE(DeviceIoControl(device, 8, nullptr, 0, out, sizeof out, &returned, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
    EXPECT_EQ(seen, (std::vector<std::string>{"TESTDEV", "TESTDEV"}));
    CloseHandle(device);
    EXPECT_FALSE(DeviceIoControl(device, 7, nullptr, 0, out, sizeof out, &returned, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

    EXPECT_EQ(CreateFileW(u"\\\\.\\Q:", 0, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(Time, SleepAndTickCountRunOnTheMachineClock)
{
    TempMachine m;
    DWORD start = GetTickCount();
    Sleep(6000);
    EXPECT_EQ(GetTickCount() - start, 6000u);
}
