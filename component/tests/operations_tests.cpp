#include <fstream>
#include <string>
#include <vector>

#include "cabwriter.h"
#include "component/tests/component_fixture.h"
#include "platform/kernel/time.h"
#include "platform/setup/device_tree.h"

using namespace componenttest;
using yolt::machine::PlayerPlug;

namespace {

namespace fs = std::filesystem;

// Writes a cabinet holding `members` (name in the cabinet, content) into a scratch folder.
fs::path MakePackage(const fs::path& folder, const std::string& fileName,
    const std::vector<std::pair<std::string, std::string>>& members)
{
    fs::create_directories(folder / "src");
    std::vector<kvupack::Member> list;
    int n = 0;
    for (const auto& [name, content] : members) {
        fs::path source = folder / "src" / std::to_string(n++);
        std::ofstream(source, std::ios::binary) << content;
        list.push_back({name, source});
    }
    fs::path output = folder / fileName;
    std::string error;
    EXPECT_TRUE(kvupack::WriteCabinet(output, list, kvupack::Compression::Mszip, error)) << error;
    return output;
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class Operations : public ComponentTest {
protected:
    void Attach(const std::string& system, const std::vector<PlayerPlug>& players)
    {
        Start(system, players);
        CreateDetector(detector);
        ASSERT_EQ(detector->GetDevice(0, device.Out()), S_OK);
        scratch = machine->Folder() / "scratch";
    }

    HRESULT Upgrade(const fs::path& package)
    {
        BSTR path = SysAllocString(yolt::WindowsPathFromHost(package).c_str());
        HRESULT hr = device->FWUpgrade(path);
        SysFreeString(path);
        return hr;
    }

    fs::path Drive(char letter) { return machine->DriveFolder(letter); }

    Ref<IKVXRDetect> detector;
    Ref<IKVXRDevice> device;
    fs::path scratch;
};

}  // namespace

TEST_F(Operations, FirmwarePathMustNameTheModel)
{
    Attach("xp", {PlayerPlug("PX210", 'E')});
    const std::vector<std::pair<std::string, std::string>> members = {{"SYSTEM.BIN", "image"}};
    struct Case {
        const char* folder;
        const char* file;
        HRESULT expected;
    };
    const Case cases[] = {
        {"fw", "px210_v12.kvu", S_OK},
        {"PX210", "update.kvu", S_OK},
        {"fw", "PX2100.kvu", S_OK},
        {"fw", "rq310.kvu", E_INVALIDARG},
    };
    for (const auto& c : cases) {
        fs::remove_all(Drive('E'));
        fs::create_directories(Drive('E'));
        fs::path package = MakePackage(scratch / c.folder, c.file, members);
        EXPECT_EQ(Upgrade(package), c.expected) << c.file;
        EXPECT_EQ(fs::exists(Drive('E') / "SYSTEM.BIN"), c.expected == S_OK) << c.file;
    }
    BSTR empty = SysAllocString(u"");
    EXPECT_EQ(device->FWUpgrade(empty), E_INVALIDARG);
    SysFreeString(empty);
    EXPECT_EQ(device->FWUpgrade(nullptr), E_INVALIDARG);
}

TEST_F(Operations, PackagesUnpackWithTheirFoldersOrFailClearly)
{
    Attach("xp", {PlayerPlug("PX210", 'E')});
    fs::path package = MakePackage(scratch, "px210.kvu",
        {{"README.TXT", "hello"}, {"Music\\intro.mp3", "mp3"}, {"A\\B\\C.DAT", "deep"}});
    ASSERT_EQ(Upgrade(package), S_OK);
    EXPECT_EQ(ReadFile(Drive('E') / "README.TXT"), "hello");
    EXPECT_EQ(ReadFile(Drive('E') / "Music" / "intro.mp3"), "mp3");
    EXPECT_EQ(ReadFile(Drive('E') / "A" / "B" / "C.DAT"), "deep") << "every folder of a member is created";

    fs::path emptyPackage = MakePackage(scratch / "empty", "px210.kvu", {});
    EXPECT_EQ(Upgrade(emptyPackage), S_OK);

    HRESULT missing = Upgrade(scratch / "px210_missing.kvu");
    EXPECT_EQ(static_cast<DWORD>(missing) & 0xFFFF0000u, 0x80070000u);
    std::ofstream(scratch / "px210_text.kvu") << "not a cabinet";
    HRESULT notCabinet = Upgrade(scratch / "px210_text.kvu");
    EXPECT_EQ(static_cast<DWORD>(notCabinet) & 0xFFFF0000u, 0x80070000u);
}

TEST_F(Operations, MembersNeverLeaveTheDestination)
{
    Attach("xp", {PlayerPlug("PX210", 'E')});
    fs::path package = MakePackage(scratch / "deep" / "deeper", "px210.kvu",
        {{"..\\..\\evil.txt", "x"}, {"\\abs.txt", "x"}, {"C:x.txt", "x"}, {"ok\\..\\..\\up.txt", "x"},
            {"good.txt", "fine"}});
    ASSERT_EQ(Upgrade(package), S_OK);
    EXPECT_EQ(ReadFile(Drive('E') / "good.txt"), "fine");
    for (const fs::path& outside : {machine->Folder() / "drives" / "evil.txt", machine->Folder() / "evil.txt",
             scratch / "evil.txt", Drive('C') / "x.txt", Drive('E').parent_path() / "up.txt"})
        EXPECT_FALSE(fs::exists(outside)) << outside;
    size_t files = 0;
    for (auto& entry : fs::recursive_directory_iterator(Drive('E')))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 1u);
}

TEST_F(Operations, TargetsTooLongForAPathAreSkippedNotCut)
{
    Attach("xp", {PlayerPlug("PX210", 'E')});
    std::string longName(200, 'n');
    fs::path package = MakePackage(scratch, "any.kvu", {{longName, "long"}, {"short.txt", "short"}});
    std::string folder(70, 'f');
    fs::create_directories(Drive('E') / folder);
    BSTR path = SysAllocString(yolt::WindowsPathFromHost(package).c_str());
    std::u16string rootText = u"E:\\" + std::u16string(folder.begin(), folder.end()) + u"\\";
    BSTR root = SysAllocString(rootText.c_str());
    EXPECT_EQ(detector->Recover(path, root), S_OK);
    SysFreeString(path);
    SysFreeString(root);
    size_t files = 0;
    for (auto& entry : fs::recursive_directory_iterator(Drive('E')))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 1u);
    EXPECT_TRUE(fs::exists(Drive('E') / folder / "short.txt"));
}

TEST_F(Operations, FullPlayerFailsTheUpgradeAfterWritingWhatFits)
{
    PlayerPlug small("PX210", 'E');
    small.capacity = 64 * 1024;
    Attach("xp", {small});
    fs::path package = MakePackage(scratch, "px210.kvu",
        {{"A.BIN", std::string(40 * 1024, 'a')}, {"B.BIN", std::string(40 * 1024, 'b')}});
    EXPECT_EQ(static_cast<DWORD>(Upgrade(package)), 0x80070070u);
    EXPECT_EQ(fs::file_size(Drive('E') / "A.BIN"), 40u * 1024);
}

TEST_F(Operations, RecoveryUsesThePackageBesideTheComponent)
{
    Attach("xp", {PlayerPlug("PX260", 'E')});
    ASSERT_EQ(device->Recover(), S_OK);
    EXPECT_EQ(ReadFile(Drive('E') / "SYSTEM" / "PX260.BIN"), "PX260 recovery image 1.2\n");

    BSTR package = SysAllocString(yolt::WindowsPathFromHost(BinFolder() / "Recovery.PX210.kvu").c_str());
    BSTR root = SysAllocString(u"E:\\Restored\\");
    fs::create_directories(Drive('E') / "Restored");
    EXPECT_EQ(detector->Recover(package, nullptr), E_INVALIDARG);
    EXPECT_EQ(detector->Recover(package, root), S_OK);
    EXPECT_TRUE(fs::exists(Drive('E') / "Restored" / "SYSTEM" / "PX210.BIN"));
    SysFreeString(package);
    SysFreeString(root);
}

TEST_F(Operations, EjectTakesEveryKnownPlayerOnNtSystems)
{
    Attach("xp", {PlayerPlug("PX210", 'E'), PlayerPlug("RQ310", 'F')});
    yolt::setup::ClearEjectRequests();
    ASSERT_EQ(device->Eject(), S_OK);
    auto requests = yolt::setup::EjectRequests();
    // Rows share patterns: the PX210 is asked twice, the RQ310 three times (once ejected, the
    // later requests find no node).
    size_t px210 = 0, rq310 = 0;
    for (const auto& request : requests) {
        px210 += request.deviceId.find("PID_1001") != std::string::npos;
        rq310 += request.deviceId.find("PID_1005") != std::string::npos;
    }
    EXPECT_EQ(px210, 2u);
    EXPECT_EQ(rq310, 3u);
    EXPECT_TRUE(machine->Machine().UsbDevices().empty());
    ULONG count = 1;
    detector->GetDeviceCount(&count);
    EXPECT_EQ(count, 0u);
}

TEST_F(Operations, EjectAllWithoutAPlayerReturnsAtOnce)
{
    Start("xp", {});
    CreateDetector(detector);
    DWORD before = GetTickCount();
    EXPECT_EQ(detector->EjectAll(), S_OK);
    EXPECT_EQ(GetTickCount(), before) << "no wait without a player";
}

TEST_F(Operations, ARootWithoutSeparatorIsJoinedUnchanged)
{
    Attach("xp", {PlayerPlug("PX210", 'E')});
    fs::path package = MakePackage(scratch, "any.kvu", {{"A.BIN", "a"}});
    BSTR path = SysAllocString(yolt::WindowsPathFromHost(package).c_str());
    BSTR root = SysAllocString(u"E:");
    EXPECT_EQ(detector->Recover(path, root), S_OK);
    SysFreeString(path);
    SysFreeString(root);
    // "E:" + "A.BIN" is "E:A.BIN": the file lands in the drive's current folder, its root.
    EXPECT_EQ(ReadFile(Drive('E') / "A.BIN"), "a");
}

TEST_F(Operations, RefusedEjectIsReportedAsDeviceInUse)
{
    PlayerPlug busy("PX210", 'E');
    busy.inUse = true;
    Attach("xp", {busy});
    EXPECT_EQ(static_cast<DWORD>(device->Eject()), 0x80070964u);
    EXPECT_EQ(machine->Machine().UsbDevices().size(), 1u);
    EXPECT_EQ(detector->EjectAll(), S_OK);
}

TEST_F(Operations, EjectLeavesNodesThatAreNotStarted)
{
    PlayerPlug stopped("PX210", 'E');
    stopped.status = 0x2;  // driver loaded, not started
    Start("xp", {PlayerPlug("RQ310", 'F'), stopped});
    CreateDetector(detector);
    ASSERT_EQ(detector->GetDevice(0, device.Out()), S_OK);
    yolt::setup::ClearEjectRequests();
    ASSERT_EQ(device->Eject(), S_OK);
    auto devices = machine->Machine().UsbDevices();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_NE(devices[0].deviceId.find("PID_1001"), std::string::npos);
    for (const auto& request : yolt::setup::EjectRequests())
        EXPECT_EQ(request.deviceId.find("PID_1001"), std::string::npos);
}
