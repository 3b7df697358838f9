#include <gtest/gtest.h>

#include <fstream>

#include "tests/e2e/run.h"

using e2e::Machine;

namespace {

std::string Quoted(const std::filesystem::path& path)
{
    return "'" + path.string() + "'";
}

std::filesystem::path Sample(const std::string& name)
{
    return e2e::Bin().parent_path() / "samples" / name;
}

void WriteBytes(const std::filesystem::path& path, size_t size)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << std::string(size, 'x');
}

}  // namespace

TEST(Cli, DetectsAPlayerOnA95FamilyMachineAndForgetsItWhenUnplugged)
{
    Machine machine("98se");
    machine.Register();
    ASSERT_EQ(machine.Run("yolt-machine", "plug RQ210 H").exit, 0);
    auto detect = machine.Run("yolt", "detect --json");
    EXPECT_EQ(detect.exit, 0) << detect.out;
    EXPECT_NE(detect.out.find("\"Model\":3"), std::string::npos) << detect.out;
    EXPECT_NE(detect.out.find("\"FullName\":\"YOLT RQ210 (H:)\""), std::string::npos) << detect.out;
    EXPECT_NE(detect.out.find("\"SupportFeature\":11"), std::string::npos) << detect.out;
    ASSERT_EQ(machine.Run("yolt-machine", "unplug").exit, 0);
    detect = machine.Run("yolt", "detect --json");
    EXPECT_EQ(detect.exit, 1);
    EXPECT_EQ(detect.out, "{\"count\":0,\"device\":null}\n");
}

TEST(Cli, UpgradeWritesThePackageAndEjectsThePlayer)
{
    Machine machine("xp");
    machine.Register();
    machine.Run("yolt-machine", "plug PX210 E");
    auto upgrade = machine.Run("yolt", "upgrade " + Quoted(Sample("px210_v12.kvu")));
    EXPECT_EQ(upgrade.exit, 0) << upgrade.out;
    EXPECT_EQ(upgrade.out, "Upgrade finished.\nPlease disconnect device from PC.\n");
    EXPECT_TRUE(std::filesystem::exists(machine.Drive('E') / "SYSTEM" / "PX210.BIN"));
    EXPECT_EQ(machine.Run("yolt-machine", "show").out.find(" E:"), std::string::npos) << "the player was ejected";
}

TEST(Cli, UpgradeRefusesAPackageForAnotherModel)
{
    Machine machine("xp");
    machine.Register();
    machine.Run("yolt-machine", "plug PX210 E");
    auto upgrade = machine.Run("yolt", "upgrade " + Quoted(Sample("rq310_v12.kvu")));
    EXPECT_EQ(upgrade.exit, 1);
    EXPECT_EQ(upgrade.out, "Firmware upgrade process failed.\n\nInvalid firmware upgrade file!\n");
    EXPECT_FALSE(std::filesystem::exists(machine.Drive('E') / "README.TXT"));
}

TEST(Cli, RecoveryFollowsTheUsedSpaceRule)
{
    Machine machine("xp");
    machine.Register();
    machine.Run("yolt-machine", "plug PX210 E");
    WriteBytes(machine.Drive('E') / "big.bin", 5 * 1024 * 1024 + 1);
    auto refused = machine.Run("yolt", "recover");
    EXPECT_EQ(refused.exit, 1);
    EXPECT_NE(refused.out.find("Recovery process can't continue!"), std::string::npos) << refused.out;
    EXPECT_FALSE(std::filesystem::exists(machine.Drive('E') / "README.TXT"));

    std::filesystem::resize_file(machine.Drive('E') / "big.bin", 5 * 1024 * 1024 - 100);
    auto recovered = machine.Run("yolt", "recover");
    EXPECT_EQ(recovered.exit, 0) << recovered.out;
    EXPECT_EQ(recovered.out, "Recovered.\n");
    EXPECT_TRUE(std::filesystem::exists(machine.Drive('E') / "README.TXT"));
}

TEST(Cli, ScanBuildsThePlaylists)
{
    Machine machine("xp");
    machine.Register();
    machine.Run("yolt-machine", "plug RQ210 E");
    WriteBytes(machine.Drive('E') / "Music" / "a.wav", 10);
    auto scan = machine.Run("yolt", "scan");
    EXPECT_EQ(scan.exit, 0) << scan.out;
    EXPECT_EQ(scan.out, "Scan finished.\n");
    EXPECT_TRUE(std::filesystem::exists(machine.Drive('E') / "Playlist" / "Unknown.m3u"));
}

TEST(Cli, AboutAndInspect)
{
    Machine machine("xp");
    machine.Register(true);
    auto about = machine.Run("yolt", "about --locale 0x407");
    EXPECT_EQ(about.exit, 0);
    EXPECT_NE(about.out.find("\r\n"), std::string::npos);
    EXPECT_NE(about.out.find("KVXRDTCT.dll"), std::string::npos);

    machine.Run("yolt-machine", "plug PX210 E");
    auto inspect = machine.Run("yolt", "inspect " + Quoted(Sample("px210_v12.kvu")));
    EXPECT_EQ(inspect.exit, 0) << inspect.out;
    EXPECT_NE(inspect.out.find("Firmware for: PX210"), std::string::npos) << inspect.out;
    EXPECT_NE(inspect.out.find("E:\\SYSTEM\\PX210.BIN"), std::string::npos) << inspect.out;
    std::ofstream(machine.Folder() / "broken_px210.kvu") << "MSCF but not really";
    inspect = machine.Run("yolt", "inspect " + Quoted(machine.Folder() / "broken_px210.kvu"));
    EXPECT_EQ(inspect.exit, 1);
    EXPECT_NE(inspect.out.find("Nothing was written"), std::string::npos) << inspect.out;
}

TEST(Cli, MissingComponentAndBadCommandLines)
{
    Machine machine("xp");
    auto missing = machine.Run("yolt", "detect");
    EXPECT_EQ(missing.exit, 3);
    EXPECT_NE(missing.out.find("Can't find file KVXRDTCT.DLL !"), std::string::npos) << missing.out;

    struct Case {
        const char* program;
        const char* arguments;
    };
    const Case cases[] = {
        {"yolt", ""}, {"yolt", "frobnicate"}, {"yolt", "upgrade"}, {"yolt", "detect --xml"},
        {"yolt-machine", "plug"}, {"yolt-machine", "plug XX999"}, {"regsvr", ""}, {"kvu-pack", ""},
    };
    for (const auto& c : cases) {
        auto result = machine.Run(c.program, c.arguments);
        EXPECT_EQ(result.exit, 2) << c.program << " " << c.arguments << ": " << result.out;
        EXPECT_FALSE(result.out.empty());
    }
    for (const char* program : {"yolt", "yolt-machine", "regsvr", "kvu-pack"})
        EXPECT_EQ(machine.Run(program, "--help").exit, 0) << program;
}
