#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "platform/machine/machine_error.h"
#include "platform/machine/simulated_machine.h"
#include "platform/machine/testing/temp_machine.h"

using namespace yolt::machine;

namespace {
std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Letters(Machine& machine)
{
    std::string letters;
    for (auto& drive : machine.Drives())
        letters += drive.letter;
    return letters;
}
}  // namespace

TEST(SimulatedMachine, OpensTheFolderItWasCreatedIn)
{
    TempMachine temp("98se", {{"PX210"}, {"RQ310", 'G'}});
    SimulatedMachine machine(temp.Folder());

    EXPECT_EQ(machine.Version().platformId, 1u);
    EXPECT_EQ(machine.Version().minor, 10u);
    EXPECT_EQ(Letters(machine), "CEGZ");
    auto drives = machine.Drives();
    EXPECT_EQ(drives[1].folder, temp.Folder() / "drives" / "E");
    EXPECT_TRUE(std::filesystem::is_directory(drives[1].folder));
    EXPECT_EQ(drives.back().folder, "/");  // the host's root
    EXPECT_TRUE(std::filesystem::is_directory(machine.RegistryFolder()));
    EXPECT_EQ(machine.StorageIdentityOf('g')->product, "RQ310           ");
    EXPECT_FALSE(machine.StorageIdentityOf('Z'));
    EXPECT_TRUE(machine.GetClock().IsVirtual());
    EXPECT_EQ(machine.UsbDevices().size(), 2u);
}

TEST(SimulatedMachine, RefusesMissingOrExistingMachines)
{
    TempMachine temp;
    EXPECT_THROW(SimulatedMachine::Create(temp.Folder(), MachineDocument("xp")), MachineError);
    EXPECT_NO_THROW(SimulatedMachine::Create(temp.Folder(), MachineDocument("95"), IfMachineExists::Keep));
    EXPECT_EQ(SimulatedMachine(temp.Folder()).Version().major, 5u);  // kept as it was

    try {
        SimulatedMachine missing(temp.Folder() / "nothing");
        ADD_FAILURE() << "opened";
    } catch (const MachineError& error) {
        EXPECT_NE(std::string(error.what()).find("nothing/machine.json: no machine here"), std::string::npos) << error.what();
    }
}

TEST(SimulatedMachine, SeesChangesOfItsDescriptionAtTheNextCall)
{
    TempMachine temp("xp");
    auto& running = temp.Machine();
    EXPECT_EQ(Letters(running), "CZ");

    SimulatedMachine other(temp.Folder());  // as another process would
    other.Change([](MachineDocument& doc) { doc.Plug({"PX410", 'H'}); });
    EXPECT_EQ(Letters(running), "CHZ");
    EXPECT_EQ(running.UsbDevices().at(0).model, "PX410");

    temp.WriteDescription(R"({"system": "2000", "drives": [{"letter": "D", "kind": "cdrom"}]})");
    EXPECT_EQ(running.Version().minor, 0u);
    EXPECT_EQ(Letters(running), "DZ");
    EXPECT_EQ(running.Drives()[0].kind, DriveKind::CdRom);
}

TEST(SimulatedMachine, KeepsTheLastGoodDescriptionWhenTheFileBreaks)
{
    TempMachine temp("xp", {{"PX210"}});
    auto& running = temp.Machine();
    ASSERT_EQ(Letters(running), "CEZ");

    temp.WriteDescription("{\"system\": \"xp\",\n\"devices\": [\n}\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(Letters(running), "CEZ");
    EXPECT_EQ(running.UsbDevices().size(), 1u);
    std::string reported = testing::internal::GetCapturedStderr();
    EXPECT_NE(reported.find("machine.json:3: not valid JSON"), std::string::npos) << reported;
    EXPECT_EQ(std::count(reported.begin(), reported.end(), '\n'), 1);  // reported once

    // A change is refused and the broken file is left for the user to mend.
    testing::internal::CaptureStderr();
    EXPECT_FALSE(running.SetDriveLabel('E', "X"));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(ReadFile(running.DescriptionFile()), "{\"system\": \"xp\",\n\"devices\": [\n}\n");
}

TEST(SimulatedMachine, DetachingADevicePersistsAndKeepsItsContent)
{
    TempMachine temp("xp", {{"PX210"}, {"RQ210"}});
    auto& machine = temp.Machine();
    std::ofstream(temp.DriveFolder('E') / "song.mp3") << "data";

    EXPECT_TRUE(machine.DetachUsbDevice("USB\\VID_5E93&PID_1001\\0001"));
    EXPECT_FALSE(machine.DetachUsbDevice("USB\\VID_5E93&PID_1001\\0001"));
    EXPECT_EQ(Letters(machine), "CFZ");

    SimulatedMachine reopened(temp.Folder());
    EXPECT_EQ(Letters(reopened), "CFZ");
    ASSERT_EQ(reopened.UsbDevices().size(), 1u);
    EXPECT_EQ(reopened.UsbDevices()[0].model, "RQ210");
    EXPECT_TRUE(std::filesystem::exists(temp.DriveFolder('E') / "song.mp3"));

    temp.Change([](MachineDocument& doc) { doc.Plug({"PX210", 'E'}); });
    EXPECT_EQ(Letters(machine), "CEFZ");  // plugged again, its content is there
}

TEST(SimulatedMachine, FormatResultsPersist)
{
    TempMachine temp("xp", {{"PX210"}});
    auto& machine = temp.Machine();
    EXPECT_TRUE(machine.SetDriveLabel('e', "YOLT PX210"));
    EXPECT_TRUE(machine.SetDriveFileSystem('E', "FAT"));
    EXPECT_TRUE(machine.SetDriveLabel('C', "SYSTEM"));
    EXPECT_FALSE(machine.SetDriveLabel('Q', "NONE"));

    SimulatedMachine reopened(temp.Folder());
    EXPECT_EQ(reopened.FindDrive('E')->label, "YOLT PX210");
    EXPECT_EQ(reopened.FindDrive('E')->fileSystem, "FAT");
    EXPECT_EQ(reopened.FindDrive('C')->label, "SYSTEM");
}

TEST(SimulatedMachine, ConcurrentChangesAreNotLost)
{
    TempMachine temp("xp");
    auto plugRange = [&](char first, char last) {
        SimulatedMachine machine(temp.Folder());  // its own lock file handle, as a process has
        for (char letter = first; letter <= last; ++letter)
            machine.Change([&](MachineDocument& doc) { doc.Plug({"VN310", letter}); });
    };
    std::thread a(plugRange, 'E', 'M');
    std::thread b(plugRange, 'N', 'V');
    a.join();
    b.join();
    EXPECT_EQ(SimulatedMachine(temp.Folder()).UsbDevices().size(), 18u);
}
