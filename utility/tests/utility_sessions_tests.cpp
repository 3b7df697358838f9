// Scripted sessions of the real YoltUtility process on temporary machines with the component
// registered: every message box the program shows is one printed line, checked here in order.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "platform/base/wtext.h"
#include "platform/gdi/surface.h"
#include "platform/kernel/paths.h"
#include "platform/machine/testing/temp_machine.h"
#include "utility/tests/utility_test_support.h"

namespace fs = std::filesystem;
using yolt::machine::PlayerPlug;
using yolt::machine::TempMachine;

namespace {

struct Outcome {
    int exitCode = -1;
    std::string out;
};

// The printed line of a message box; texts use the script's escapes (\n, \r, \\).
std::string Box(const std::string& caption, const std::string& text, const char* icon, const char* buttons)
{
    return "message-box caption=\"" + caption + "\" text=\"" + text + "\" icon=" + icon + " buttons=" + buttons + "\n";
}
std::string Question(const std::string& text)
{
    return Box("YOLT Utility", text, "QUESTION", "OKCANCEL");
}
std::string Result(const std::string& text)
{
    return Box("YOLT Utility", text, "INFORMATION", "OK");
}
std::string Error(const std::string& text)
{
    return Box("YOLT Utility Error", text, "ERROR", "OK");
}

const std::string kAskFormat = "This will perform a format & recover process.";
const std::string kAskScan = "This will scan for media files";
const std::string kAskRecover = "This will perform a recovery process.";
const std::string kAskUpgrade = "This will perform a firmware upgrade process.";
const std::string kUpgradeFinished = "Upgrade finished.\\n\\rPlease disconnect device from PC.";
const std::string kInvalidPackage = "Firmware upgrade process failed.\\n\\nInvalid firmware upgrade file!";

std::string UpgradeFailed(const char* code)
{
    return "Firmware upgrade process failed.\\nError code 0x" + std::string(code) +
        ".\\n\\nPlease make sure that:\\n1. YOLT Player is connected to the PC;\\n2. YOLT Player has at least 5MB of "
        "free space.";
}
std::string FormatFailed(const char* code)
{
    return "Recovery process failed.\\nError code 0x" + std::string(code) +
        ".\\n\\nPlease make sure that \\nYOLT Player is connected to the PC";
}
std::string RecoveryFailed(const char* code)
{
    return "Recovery process failed.\\nError code 0x" + std::string(code) +
        ".\\n\\nPlease make sure that:\\n1. YOLT Player is connected to the PC;\\n2. YOLT Player has at least 5MB of "
        "free space.";
}
// Text as the script's escapes write it.
std::string Escaped(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += c == '\\' || c == '"' ? std::string("\\") + c : std::string(1, c);
    return out;
}

// A sample package's Windows path (on Z:), as a user names it on the command line.
std::string WindowsSample(const std::string& lowerModel)
{
    return yolt::Utf8FromWide(yolt::WindowsPathFromHost(utilitytest::SamplePackage(lowerModel)));
}

std::string Confirmation(const std::string& path)
{
    return Box("YOLT Utility",
        "Do you really want to install Firmware Upgrade code to your player from the file:\\n" + path +
            " ?\\n\\nIf YES then please CONNECT you player to the PC!",
        "QUESTION", "YESNOCANCEL");
}

// Script lines for the button releases (client coordinates inside each hot rectangle).
const char* kLeft = "click 80 290\n";
const char* kMiddle = "click 250 300\n";
const char* kRight = "click 400 290\n";

// Runs the program headless on a temporary machine with the component registered.
class UtilitySession : public ::testing::Test {
protected:
    void Start(const std::vector<PlayerPlug>& players = {}, bool registerComponent = true)
    {
        machine.reset();  // the previous machine restores YOLT_MACHINE when it goes
        machine = std::make_unique<TempMachine>("xp", players);
        if (!registerComponent)
            return;
        std::string command = "'" + (utilitytest::BinFolder() / "regsvr").string() + "' '" +
            (utilitytest::BinFolder() / "KVXRDTCT.dll").string() + "' >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << "the component could not be registered";
    }

    Outcome Run(const std::string& script, const std::string& arguments = "")
    {
        fs::path file = machine->Folder() / "script.txt";
        std::ofstream(file) << script;
        std::string command = "YOLT_DISPLAY=headless YOLT_SCRIPT='" + file.string() + "' '" +
            (utilitytest::BinFolder() / "YoltUtility").string() + "' " + arguments + " 2>&1";
        Outcome outcome;
        FILE* pipe = ::popen(command.c_str(), "r");
        std::array<char, 1024> buffer;
        while (std::fgets(buffer.data(), int(buffer.size()), pipe))
            outcome.out += buffer.data();
        int status = ::pclose(pipe);
        outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return outcome;
    }

    fs::path Drive(char letter) const { return machine->DriveFolder(letter); }
    bool Attached() { return !machine->Machine().UsbDevices().empty(); }
    // A file of `size` bytes on a drive.
    void Fill(char letter, const std::string& name, size_t size)
    {
        std::ofstream out(Drive(letter) / name, std::ios::binary);
        out << std::string(size, 'x');
    }
    fs::path Snapshot(const std::string& name) const { return machine->Folder() / name; }

    std::unique_ptr<TempMachine> machine;
};

yolt::gdi::Surface Load(const fs::path& png)
{
    yolt::gdi::Surface surface;
    std::string error;
    EXPECT_TRUE(yolt::gdi::LoadPng(png, surface, &error)) << png << ": " << error;
    return surface;
}

}  // namespace

TEST_F(UtilitySession, WithoutCommandLineTheWatchShowsThePlayerAtTheFirstTick)
{
    Start({PlayerPlug("RQ210")});
    Outcome o = Run("snapshot " + Snapshot("start.png").string() + "\n" + kMiddle + "expect-box \"" + kAskRecover +
        "\"\nanswer CANCEL\nwait 1990\nsnapshot " + Snapshot("before-tick.png").string() +
        "\nwait 20\nsnapshot " + Snapshot("rq210.png").string() + "\n" + kMiddle + "expect-box \"" + kAskScan +
        "\"\nanswer CANCEL\nunplug\nwait 2000\nsnapshot " + Snapshot("unplugged.png").string() +
        "\nplug PX310\nwait 2000\nsnapshot " + Snapshot("px310.png").string() + "\n" + kMiddle + "expect-box \"" +
        kAskRecover + "\"\nanswer CANCEL\n");
    EXPECT_EQ(o.exitCode, 0) << o.out;
    EXPECT_EQ(o.out, Question(kAskRecover) + Question(kAskScan) + Question(kAskRecover));
    auto start = Load(Snapshot("start.png"));
    EXPECT_EQ(start.width, 496);
    EXPECT_EQ(start.height, 378);
    EXPECT_EQ(Load(Snapshot("before-tick.png")).pixels, start.pixels) << "the player was shown before the tick";
    EXPECT_NE(Load(Snapshot("rq210.png")).pixels, start.pixels) << "the player was not shown at the tick";
    EXPECT_EQ(Load(Snapshot("unplugged.png")).pixels, start.pixels);
    EXPECT_EQ(Load(Snapshot("px310.png")).pixels, start.pixels) << "a PX310 has no picture of its own";
}

TEST_F(UtilitySession, WithoutTheComponentOnlyTheWarningShows)
{
    Start({PlayerPlug("PX210")}, false);
    Outcome o = Run("wait 4000\n", "'C:\\fw\\px210.kvu'");
    EXPECT_EQ(o.exitCode, 0) << o.out;
    EXPECT_EQ(o.out,
        Box("YOLT Utility", "Can't find file KVXRDTCT.DLL !\\n\\r Please reinstall the program !", "WARNING", "OK"));
}

TEST_F(UtilitySession, DecliningThePendingPackageEndsTheProgram)
{
    Start({PlayerPlug("PX210")});
    for (const char* answer : {"NO", "CANCEL"}) {
        // The script's steps after the answer would fail if the window were shown.
        Outcome o = Run(std::string("answer ") + answer + "\nclick 400 290\nexpect-box \"never\"\n",
            "'\"C:\\My Files\\px210.kvu\"'");
        EXPECT_EQ(o.exitCode, 0) << o.out;
        EXPECT_EQ(o.out, Confirmation("\\\"C:\\\\My Files\\\\px210.kvu\\\"")) << answer;
    }
    EXPECT_TRUE(Attached());
}

TEST_F(UtilitySession, PendingPackageWaitsForAPlayerAndIsInstalledOnce)
{
    Start();
    const std::string package = WindowsSample("px210");
    Outcome o = Run("answer YES\nwait 6000\nplug PX210\nwait 2000\nexpect-box \"" + kUpgradeFinished +
            "\"\nanswer OK\nplug PX210\nwait 6000\n",
        "'" + package + "'");
    EXPECT_EQ(o.exitCode, 0) << o.out;
    EXPECT_EQ(o.out, Confirmation(Escaped(package)) + Result(kUpgradeFinished));
    EXPECT_TRUE(fs::exists(Drive('E') / "SYSTEM" / "PX210.BIN"));
    EXPECT_TRUE(Attached()) << "the second plug was ejected: the package was installed again";
}

TEST_F(UtilitySession, FailedPendingPackageIsNotRetriedEvenWhileItsErrorIsShown)
{
    Start({PlayerPlug("PX210")});
    const std::string package = WindowsSample("rq310");
    // Ticks keep coming while the error is open; none may start the package again.
    Outcome o = Run("answer YES\nwait 2000\nexpect-box \"" + kInvalidPackage + "\"\nwait 6000\nanswer OK\nwait 6000\n",
        "'" + package + "'");
    EXPECT_EQ(o.exitCode, 0) << o.out;
    EXPECT_EQ(o.out, Confirmation(Escaped(package)) + Error(kInvalidPackage));
    EXPECT_FALSE(fs::exists(Drive('E') / "SYSTEM"));
}

TEST_F(UtilitySession, RightButtonUpgradesFromTheChosenFile)
{
    Start();
    const std::string px210 = utilitytest::SamplePackage("px210").string();
    const std::string rq310 = utilitytest::SamplePackage("rq310").string();
    std::string script = std::string(kRight) + "answer OK\ncancel-file\n" +  // cancelled: nothing at all
        kRight + "answer CANCEL\n" +                                           // declined: no file dialog
        kRight + "answer OK\nchoose-file " + px210 + "\nexpect-box \"" + UpgradeFailed("00000000") +
        "\"\nanswer OK\nplug PX210\nwait 2000\n" + kRight + "answer OK\nchoose-file " + rq310 + "\nanswer OK\n" +
        kRight + "answer OK\nchoose-file " + px210 + "\nexpect-box \"" + kUpgradeFinished + "\"\nanswer OK\n";
    Outcome o = Run(script);
    EXPECT_EQ(o.exitCode, 0) << o.out;
    EXPECT_EQ(o.out, Question(kAskUpgrade) + Question(kAskUpgrade) + Question(kAskUpgrade) +
            Error(UpgradeFailed("00000000")) + Question(kAskUpgrade) + Error(kInvalidPackage) + Question(kAskUpgrade) +
            Result(kUpgradeFinished));
    EXPECT_TRUE(fs::exists(Drive('E') / "README.TXT"));
    EXPECT_TRUE(fs::exists(Drive('E') / "SYSTEM" / "PX210.BIN"));
    EXPECT_FALSE(Attached()) << "the player was not ejected";
}

TEST_F(UtilitySession, FormatAndRecoverWithoutAPlayerReportsBothSteps)
{
    Start();
    Outcome o = Run(std::string(kLeft) + "answer OK\nanswer OK\nanswer OK\n" + kLeft + "answer CANCEL\n" + kMiddle +
        "answer OK\nanswer OK\n");
    EXPECT_EQ(o.exitCode, 0) << o.out;
    EXPECT_EQ(o.out, Question(kAskFormat) + Error(FormatFailed("00000000")) + Error(RecoveryFailed("00000000")) +
            Question(kAskFormat) + Question(kAskRecover) + Error(RecoveryFailed("00000000")));
}

TEST_F(UtilitySession, RecoveryAcceptsAtMostFiveMebibytesUsed)
{
    Start({PlayerPlug("PX210")});
    Fill('E', "full.bin", 5242881);
    const std::string refused =
        "Recovery process can't continue!\\nFirst, please format the device to make the storage empty.\\nBefore "
        "format, please backup all needed data";
    Outcome o = Run(std::string("wait 2000\n") + kMiddle + "answer OK\nexpect-box \"" + refused + "\"\nanswer OK\n");
    EXPECT_EQ(o.out, Question(kAskRecover) + Result(refused));
    EXPECT_FALSE(fs::exists(Drive('E') / "SYSTEM")) << "a refused recovery wrote the package";

    fs::resize_file(Drive('E') / "full.bin", 5242880);
    o = Run(std::string("wait 2000\n") + kMiddle + "answer OK\nexpect-box \"Recovered.\"\nanswer OK\n");
    EXPECT_EQ(o.exitCode, 0) << o.out;
    EXPECT_EQ(o.out, Question(kAskRecover) + Result("Recovered."));
    EXPECT_TRUE(fs::exists(Drive('E') / "SYSTEM" / "PX210.BIN"));
    EXPECT_FALSE(Attached());
}

TEST_F(UtilitySession, FormatAndRecoverRecoversWhateverTheFormatStepDid)
{
    Start({PlayerPlug("VN310")});
    const std::string refused =
        "Recovery process can't continue!\\nFirst, please format the device to make the storage empty.\\nBefore "
        "format, please backup all needed data";
    Fill('E', "old.bin", 6000000);
    // A closed format dialog leaves the player full: the recovery step refuses it.
    Outcome o = Run(std::string("wait 2000\n") + kLeft + "answer OK\nformat close\nexpect-box \"" + refused +
        "\"\nanswer OK\n");
    EXPECT_EQ(o.exitCode, 0) << o.out;
    EXPECT_EQ(o.out, Question(kAskFormat) + Result(refused));
    // A completed format empties it, and the recovery follows.
    o = Run(std::string("wait 2000\n") + kLeft + "answer OK\nformat start\nexpect-box \"Recovered.\"\nanswer OK\n");
    EXPECT_EQ(o.exitCode, 0) << o.out;
    EXPECT_EQ(o.out, Question(kAskFormat) + Result("Recovered."));
    EXPECT_FALSE(fs::exists(Drive('E') / "old.bin"));
    EXPECT_TRUE(fs::exists(Drive('E') / "SYSTEM" / "VN310.BIN"));
}

TEST_F(UtilitySession, ALargeRq310OnAnNtSystemIsRecoveredWithoutTheFormatDialog)
{
    PlayerPlug large("RQ310");
    large.capacity = 21474836481ull;
    Start({large});
    Outcome o = Run(std::string("wait 2000\n") + kLeft + "answer OK\nexpect-box \"Recovered.\"\nanswer OK\n");
    EXPECT_EQ(o.exitCode, 0) << o.out;
    EXPECT_EQ(o.out, Question(kAskFormat) + Result("Recovered."));

    // Exactly 5 * 2^32 bytes is still formatted.
    large.capacity = 21474836480ull;
    Start({large});
    o = Run(std::string("wait 2000\n") + kLeft + "answer OK\nformat close\nexpect-box \"Recovered.\"\nanswer OK\n");
    EXPECT_EQ(o.exitCode, 0) << o.out;
    EXPECT_EQ(o.out, Question(kAskFormat) + Result("Recovered."));
}

TEST_F(UtilitySession, MiddleButtonScansTheHardDiskPlayers)
{
    Start({PlayerPlug("RQ310")});
    fs::create_directories(Drive('E') / "Music");
    Outcome o = Run(std::string("wait 2000\n") + kMiddle + "answer CANCEL\n" + kMiddle +
        "answer OK\nexpect-box \"Scan finished.\"\nanswer OK\n");
    EXPECT_EQ(o.exitCode, 0) << o.out;
    EXPECT_EQ(o.out, Question(kAskScan) + Question(kAskScan) + Result("Scan finished."));
    EXPECT_TRUE(fs::exists(Drive('E') / "Playlist" / "All.m3u"));
    EXPECT_TRUE(fs::is_directory(Drive('E') / "Playlist" / "Album"));
}

TEST_F(UtilitySession, AScanThatCannotWriteItsPlaylistsIsReportedNotFinished)
{
    Start({PlayerPlug("RQ210")});
    // A file where the playlist folder belongs: nothing can be written below it.
    std::ofstream(Drive('E') / "Playlist") << "in the way";
    Outcome o = Run(std::string("wait 2000\n") + kMiddle + "answer OK\nanswer OK\n");
    EXPECT_EQ(o.exitCode, 0) << o.out;
    EXPECT_EQ(o.out, Question(kAskScan) + Error("Media scan failed.\\nError code 0x80004005."));
}

TEST_F(UtilitySession, AReleaseRunsTheButtonUnderIt)
{
    Start();
    // Pressed on the left round button, released over the middle one: the middle's action.
    Outcome o = Run("press 80 290\nrelease 250 300\nanswer CANCEL\npress 80 290\nrelease 200 150\n"
                    "click 460 20\nexpect-box \"the program has ended\"\n");
    EXPECT_EQ(o.exitCode, 0) << o.out;
    EXPECT_EQ(o.out, Question(kAskRecover));
}

TEST_F(UtilitySession, SnapshotsOfEveryFaceAndAPressedButton)
{
    Start();
    fs::path folder = machine->Folder() / "faces";
    fs::create_directories(folder);
    std::string script = "snapshot " + (folder / "window-none.png").string() + "\n";
    const char* models[] = {"PX210", "RQ210", "RQ310", "VN310", "WC110", "PX410"};
    for (const char* model : models) {
        std::string lower = model;
        for (char& c : lower)
            c = char(std::tolower(c));
        script += std::string("plug ") + model + "\nwait 2000\nsnapshot " + (folder / ("window-" + lower + ".png")).string() +
            "\nunplug\n";
    }
    script += "wait 2000\npress 250 300\nsnapshot " + (folder / "window-pressed.png").string() + "\nrelease 200 150\n";
    Outcome o = Run(script);
    EXPECT_EQ(o.exitCode, 0) << o.out;
    std::vector<std::vector<uint32_t>> faces;
    for (const auto& entry : fs::directory_iterator(folder)) {
        auto face = Load(entry.path());
        EXPECT_EQ(face.width, 496) << entry.path();
        EXPECT_EQ(face.height, 378) << entry.path();
        for (const auto& other : faces)
            EXPECT_NE(face.pixels, other) << entry.path() << " looks like another face";
        faces.push_back(face.pixels);
    }
    EXPECT_EQ(faces.size(), 8u);
    if (const char* keep = std::getenv("YOLT_KEEP_FACES"))
        for (const auto& entry : fs::directory_iterator(folder))
            fs::copy_file(entry.path(), fs::path(keep) / entry.path().filename(), fs::copy_options::overwrite_existing);
}
