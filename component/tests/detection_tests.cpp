#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "component/detect/device_probe.h"
#include "component/detect/drive_walk.h"
#include "component/detect/known_model.h"
#include "platform/base/wtext.h"
#include "platform/machine/machine.h"
#include "shared/platform_record.h"

namespace {

namespace fs = std::filesystem;
using yolt::machine::DriveKind;

class NtDetection : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("yolt-detect-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(root);
        machine = std::make_shared<yolt::machine::MemoryMachine>();
        yolt::machine::SetCurrentMachine(machine);
        g_osVersionRecord = {5, 1, 2};
    }
    void TearDown() override
    {
        yolt::machine::SetCurrentMachine(nullptr);
        g_osVersionRecord = {};
        fs::remove_all(root);
    }

    void AddDrive(char letter, DriveKind kind, const char* vendor = nullptr, const char* product = nullptr,
        BYTE bus = 7)
    {
        yolt::machine::Drive d;
        d.letter = letter;
        d.kind = kind;
        d.capacity = 64 << 20;
        d.folder = root / std::string(1, letter);
        fs::create_directories(d.folder);
        machine->drives.push_back(d);
        if (vendor) {
            yolt::machine::StorageIdentity id;
            id.vendor = vendor;
            id.product = product;
            id.busType = bus;
            machine->identities.push_back({letter, id});
        }
    }

    bool Probe(const char16_t* driveRoot, KVXRModelType& model)
    {
        DeviceProbe probe;
        model = eMODEL_Unknown;
        return probe.IsPlayerDrive(driveRoot, &model);
    }

    fs::path root;
    std::shared_ptr<yolt::machine::MemoryMachine> machine;
};

}  // namespace

TEST(KnownModels, TableRowsPatternsAndAttributes)
{
    KnownModel rows[kKnownModelCapacity];
    FillKnownModels(rows);
    EXPECT_STREQ(rows[0].deviceIdPattern, "VID_0000&PID_0000");
    EXPECT_STREQ(rows[1].deviceIdPattern, "VID_5E93&PID_1001");
    EXPECT_STREQ(rows[8].deviceIdPattern, "VID_10CB&PID_8001");
    EXPECT_STREQ(rows[13].product, "USB MP3 DISK");
    EXPECT_EQ(rows[15].model, eMODEL_Unknown);
    EXPECT_EQ(rows[15].deviceIdPattern[0], 0);
    EXPECT_EQ(std::u16string(ModelNameOf(11)), u"PX410");
    EXPECT_EQ(std::u16string(ModelNameOf(0)), u"X");
    EXPECT_EQ(std::u16string(ModelNameOf(12)), u"X");
    EXPECT_EQ(SupportFeatureOf(3), 11);
    EXPECT_EQ(SupportFeatureOf(4), 3);
    EXPECT_EQ(SupportFeatureOf(5), 1);
    EXPECT_EQ(SupportFeatureOf(-1), 1);
}

TEST_F(NtDetection, MatchesStorageStringsByPrefixWithoutCase)
{
    struct Case {
        const char* vendor;
        const char* product;
        BYTE bus;
        bool player;
        KVXRModelType model;
    };
    const Case cases[] = {
        {"YOLT    ", "PX210           ", 7, true, eMODEL_PX210},
        {"yolt", "px260", 7, true, eMODEL_PX260},
        {"YOLT", "PX2100", 7, true, eMODEL_PX210},
        {"ST650211", "CF", 7, true, eMODEL_RQ210},
        {"TOSHIBA", "MK2004GAL", 7, true, eMODEL_RQ310},
        {"TOSHIBA", "MK2004GAL", 3, false, eMODEL_Unknown},  // an internal disk with a player's strings
        {"ACME", "USB STICK", 7, false, eMODEL_Unknown},     // a foreign USB disk
        {"YOL", "PX210", 7, false, eMODEL_Unknown},          // shorter than the row's vendor
    };
    for (const auto& c : cases) {
        machine->drives.clear();
        machine->identities.clear();
        AddDrive('E', DriveKind::Removable, c.vendor, c.product, c.bus);
        KVXRModelType model;
        EXPECT_EQ(Probe(u"E:\\", model), c.player) << c.vendor << "/" << c.product;
        EXPECT_EQ(model, c.model) << c.vendor << "/" << c.product;
    }
}

TEST_F(NtDetection, RejectsOtherDriveTypesWithoutAsking)
{
    for (DriveKind kind : {DriveKind::CdRom, DriveKind::Remote, DriveKind::RamDisk}) {
        machine->drives.clear();
        machine->identities.clear();
        AddDrive('E', kind, "YOLT", "PX210");
        KVXRModelType model;
        EXPECT_FALSE(Probe(u"E:\\", model));
    }
    KVXRModelType model;
    EXPECT_FALSE(Probe(nullptr, model));
    EXPECT_FALSE(Probe(u"Q:\\", model));
}

TEST_F(NtDetection, WalkStopsAtTheLowestPlayerDrive)
{
    AddDrive('C', DriveKind::Fixed, "ATA", "DISK", 3);
    AddDrive('F', DriveKind::Removable, "YOLT", "RQ310");
    AddDrive('E', DriveKind::Removable, "YOLT", "PX410");
    DeviceProbe probe;
    KVXRModelType model = eMODEL_Unknown;
    WCHAR rootFound[260] = {};
    ASSERT_TRUE(FindFirstPlayer(probe, &model, rootFound));
    EXPECT_EQ(model, eMODEL_PX410);
    EXPECT_EQ(std::u16string(rootFound), u"E:\\");
}
